#include "presetmap/scaling/CBasicScalerEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <Eigen/Eigenvalues>

namespace corvex {

void CBasicScalerEngine::computeMap(MapCoordinates& out, const FeatureVectors& features) {
    const Eigen::Index n = static_cast<Eigen::Index>(features.size());
    Matrix b;
    {
        Matrix d;
        computeDistanceMatrix(d, features);
        transformDistances(b, d);
    }
    Matrix v;
    Vector lambda;
    if (!decompose(v, lambda, b)) {
        std::fprintf(stderr, "Preset map : the eigen solver failed on %ld patches, all are placed in the middle\n",
                     static_cast<long>(n));
        // No spread at all: every point lands in the middle of the square.
        v = Matrix::Zero(n, n);
        lambda = Vector::Zero(n);
    }
    b.resize(0, 0);
    computeCoordinates(out, v, lambda);
    normaliseCoordinates(out);
}

void CBasicScalerEngine::computeDistanceMatrix(Matrix& d, const FeatureVectors& features) {
    const Eigen::Index n = static_cast<Eigen::Index>(features.size());
    size_t length = 0;
    for (const auto& feature : features) length = std::max(length, feature.size());
    // One column per patch, padded with zeros; the column differences below run vectorised.
    Matrix columns = Matrix::Zero(static_cast<Eigen::Index>(length), n);
    for (Eigen::Index i = 0; i < n; ++i) {
        const auto& feature = features[static_cast<size_t>(i)];
        for (size_t k = 0; k < feature.size(); ++k) columns(static_cast<Eigen::Index>(k), i) = feature[k];
    }
    d.resize(n, n);
    for (Eigen::Index i = 0; i < n; ++i) {
        d(i, i) = 0.0f;
        for (Eigen::Index j = 0; j < i; ++j) {
            const float distance = (columns.col(j) - columns.col(i)).norm();
            d(i, j) = distance;
            d(j, i) = distance;
        }
    }
}

void CBasicScalerEngine::transformDistances(Matrix& b, const Matrix& d) { b = d; }

bool CBasicScalerEngine::decompose(Matrix& v, Vector& lambda, const Matrix& b) {
    if (b.rows() == 0) {
        v.resize(0, 0);
        lambda.resize(0);
        return true;
    }
    // A matrix holding NaN could keep the solver iterating until its cap; it would fail in the end anyway.
    if (!b.allFinite()) return false;
    const Eigen::SelfAdjointEigenSolver<Matrix> solver(b, Eigen::ComputeEigenvectors);
    if (solver.info() != Eigen::Success) return false;
    lambda = solver.eigenvalues();
    v = solver.eigenvectors();
    return lambda.allFinite() && v.allFinite();
}

void CBasicScalerEngine::computeCoordinates(MapCoordinates&, const Matrix&, const Vector&) {}

void CBasicScalerEngine::normaliseCoordinates(MapCoordinates& points) {
    const auto normaliseAxis = [&points](float MapPoint::*axis) {
        float low = 0.0f, high = 0.0f;
        bool any = false;
        for (const MapPoint& point : points) {
            const float value = point.*axis;
            if (!std::isfinite(value)) continue;
            low = any ? std::min(low, value) : value;
            high = any ? std::max(high, value) : value;
            any = true;
        }
        const double range = static_cast<double>(high) - static_cast<double>(low);
        const double scale = kMapExtent / range;
        const bool spread = any && range > 0.0 && std::isfinite(scale);
        for (MapPoint& point : points) {
            float& value = point.*axis;
            if (!spread || !std::isfinite(value))
                value = kMapExtent / 2.0f;
            else // in double, so that the largest lands on 1023 itself
                value = std::clamp(static_cast<float>((value - static_cast<double>(low)) * scale), 0.0f, kMapExtent);
        }
    };
    normaliseAxis(&MapPoint::x);
    normaliseAxis(&MapPoint::y);
}

} // namespace corvex
