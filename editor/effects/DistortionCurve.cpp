// The distortion graph's curve.
#include "editor/effects/DistortionCurve.h"

#include <algorithm>
#include <cmath>

namespace corvex::distortiongraph {

namespace {
constexpr double kSteepness[] = {1, 1.2, 1.5, 1.8, 2.1, 2.6, 3, 3.7, 4.5, 5.45, 6};
constexpr int kSteps = 10;
} // namespace

double driveSteepness(float drive) {
    if (drive >= 1.0f) return kSteepness[kSteps];
    if (!(drive >= 0.0f)) return kSteepness[0];
    const double t = drive * double(kSteps);
    const int i = std::min(static_cast<int>(t), kSteps - 1);
    const double f = t - i;
    return kSteepness[i] * (1.0 - f) + kSteepness[i + 1] * f;
}

int curveY(int i, int width, int height, double steepness) {
    if (width <= 0) return height / 2;
    const double u = (1.0 - 2.0 * i / width) * steepness;
    return static_cast<int>((std::tanh(u) + 1.0) * height * 0.5);
}

} // namespace corvex::distortiongraph
