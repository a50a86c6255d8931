// The distortion graph's curve, without a window: how steep the drive makes it and where each column lands.
#pragma once

namespace corvex::distortiongraph {

// The curve's steepness for a drive value: 1 at no drive up to 6 at full drive.
double driveSteepness(float drive);
// The y (0 at the top) of column i of a plot `width` x `height`: the input runs from -1 at the left to +1 at the
// right and the output upwards, as tanh of the input times the steepness. A plot without width gives its middle.
int curveY(int i, int width, int height, double steepness);

} // namespace corvex::distortiongraph
