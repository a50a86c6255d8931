#include "presetmap/scaling/CMDSScalerEngine.h"

#include <algorithm>
#include <cmath>

namespace corvex {

namespace {

constexpr float kNegligibleShare = 1e-4f; // of the eigenvalue, so 1 % of the spread

} // namespace

void CMDSScalerEngine::transformDistances(Matrix& b, const Matrix& d) {
    const Eigen::Index n = d.rows();
    b.resize(n, n);
    if (n == 0) return;
    const Matrix m = d.cwiseProduct(d);
    // Sums in double: with thousands of patches a float sum of squared distances loses the small ones.
    const Eigen::VectorXd rowMeans = m.cast<double>().rowwise().sum() / static_cast<double>(n);
    const double mean = rowMeans.sum() / static_cast<double>(n);
    for (Eigen::Index j = 0; j < n; ++j)
        for (Eigen::Index i = 0; i < n; ++i)
            b(i, j) = static_cast<float>(-0.5 * (static_cast<double>(m(i, j)) - rowMeans(i) - rowMeans(j) + mean));
}

void CMDSScalerEngine::computeCoordinates(MapCoordinates& out, const Matrix& v, const Vector& lambda) {
    const Eigen::Index n = lambda.size();
    if (n == 0 || v.rows() != n || v.cols() != n) return;
    const float first = std::max(0.0f, lambda(n - 1));
    float second = n >= 2 ? std::max(0.0f, lambda(n - 2)) : 0.0f;
    // Patches on one line leave a second eigenvalue of rounding noise, which the per-axis stretch would blow up
    // to the map's full height: a spread under 1 % of the first axis's counts as none.
    if (second <= kNegligibleShare * first) second = 0.0f;
    const float s1 = std::sqrt(first);
    const float s2 = std::sqrt(second);
    out.reserve(out.size() + static_cast<size_t>(n));
    for (Eigen::Index i = 0; i < n; ++i)
        out.push_back({v(i, n - 1) * s1, n >= 2 ? v(i, n - 2) * s2 : 0.0f});
}

} // namespace corvex
