// The product kernel seen through the block renderer's kernel interface.
#include "instrument/audio/CorvexBlockKernel.h"

namespace corvex {

void CorvexBlockKernel::render(float* left, float* right) {
    float* outputs[2] = {left, right};
    kernel_.processBlock(2, outputs, kFrames);
}

void CorvexBlockKernel::setTempo(float bpm) { kernel_.setTempo(bpm); }

} // namespace corvex
