// Classical (Torgerson) multidimensional scaling: the map's x follows the direction in which the patches
// differ most, y the next.
#pragma once

#include "presetmap/scaling/CBasicScalerEngine.h"

namespace corvex {

class CMDSScalerEngine : public CBasicScalerEngine {
public:
    // The double-centred matrix of squared distances: the patches' inner products around their mean.
    void transformDistances(Matrix& b, const Matrix& d) override;
    // x from the largest eigenpair, y from the second; an eigenvalue below 0 (rounding on degenerate sets)
    // counts as 0, and with fewer than two patches y is 0.
    void computeCoordinates(MapCoordinates& out, const Matrix& v, const Vector& lambda) override;
};

} // namespace corvex
