#include "engine/modules/EngineContext.h"

namespace corvex {

// Fixed per-slot and per-voice offsets that keep identical modules from sounding exactly alike.
const float kSpreadTableA[kSpreadTableASize] = {
    0.0028f,  0.2095f,  -0.0711f, -0.1954f, -0.3103f, -0.3066f, 0.1822f,  -0.1972f, 0.0417f,  -0.3491f, 0.1979f,
    -0.1216f, 0.36f,    0.3537f,  0.0936f,  -0.0034f, 0.3998f,  0.3216f,  0.1449f,  0.318f,   0.1602f,  -0.158f,
    -0.2103f, -0.1588f, 0.0341f,  0.2271f,  -0.1907f, 0.3385f,  0.0681f,  -0.1296f, 0.2027f,  0.0466f,  -0.0551f,
    0.1946f,  0.1213f,  0.2948f,  0.4568f,  0.0226f,  0.3801f,  -0.327f,  0.4797f,
};

const float kSpreadTableB[kSpreadTableBSize] = {
    -0.0467f, 0.1814f,  -0.1471f, 0.5458f,  -0.0341f, 0.0285f, 0.2667f,  0.0148f,  -0.0239f, -0.2081f, 0.0736f,
    -0.334f,  0.1786f,  0.4059f,  -0.1729f, 0.2145f,  0.3135f, -0.3984f, -0.3602f, 0.1428f,  -0.1f,    0.1725f,
    0.2039f,  0.178f,   0.3226f,  0.1672f,  0.2977f,  -0.3006f, -0.0049f, -0.0392f, -0.401f,  0.0643f,
};

// The tuning is a user setting and survives a change of device rate.
void EngineContext::setSampleRate(double rate) {
    const float r = static_cast<float>(rate);
    sampleRate = r;
    inverseRate = 1.0f / r;
    doubleRate = 2.0f * r;
    inverseDoubleRate = 1.0f / (2.0f * r);
    ratePerMillisecond = r * 0.001f;
    millisecondsPerSample = inverseRate * 1000.0f;
    blockFrames = 32.0f;
    inverseBlockFrames = 0.03125f;
    blockPeriod = 1.0f / (r * 0.03125f);
    referenceRatio = double(r) / kReferenceRate;
    inverseReferenceRatio = kReferenceRate / double(r);
}

} // namespace corvex
