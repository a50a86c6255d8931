// Places feature vectors on the map's square: pairwise distances, a matrix made from them, its eigen
// decomposition and points scaled onto 0..1023. This base decomposes the distances themselves and places no
// point; CMDSScalerEngine is the classical scaling the map uses. Single precision throughout; no JUCE.
#pragma once

#include <vector>

#include <Eigen/Core>

namespace corvex {

using FeatureVectors = std::vector<std::vector<float>>;

struct MapPoint {
    float x = 0.0f;
    float y = 0.0f;
};
using MapCoordinates = std::vector<MapPoint>;

// The largest coordinate on each axis; the smallest is 0.
constexpr float kMapExtent = 1023.0f;

class CBasicScalerEngine {
public:
    using Matrix = Eigen::MatrixXf; // column by column, aligned
    using Vector = Eigen::VectorXf;

    virtual ~CBasicScalerEngine() = default;

    // Appends one point per feature vector to out (none from this base) and scales the whole list onto
    // 0..1023 per axis. Whatever the input (no vector, one, identical ones, vectors of different lengths,
    // values that are not finite) every point ends inside the square; an axis without spread puts every point
    // in its middle. Allocation failures throw std::bad_alloc; nothing else is thrown.
    virtual void computeMap(MapCoordinates& out, const FeatureVectors& features);

    // Euclidean distances between every pair; a shorter vector counts as padded with zeros.
    virtual void computeDistanceMatrix(Matrix& d, const FeatureVectors& features);
    // The matrix that is decomposed: here a copy of the distances.
    virtual void transformDistances(Matrix& b, const Matrix& d);
    // Eigenvalues ascending in lambda, the unit eigenvector of lambda[k] in column k of v. False when the
    // solver did not converge or gave values that are not finite.
    virtual bool decompose(Matrix& v, Vector& lambda, const Matrix& b);
    // Here: nothing.
    virtual void computeCoordinates(MapCoordinates& out, const Matrix& v, const Vector& lambda);
    virtual void normaliseCoordinates(MapCoordinates& points);
};

} // namespace corvex
