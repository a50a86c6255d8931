// The part's X/Y modulation generator (type 42): three block-rate LFOs, the point (X, Y) of the first
// two turned around the centre by the third, and the trajectory that the editor draws.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

constexpr int kQuorbitLfos = 3;
constexpr int kQuorbitOutputs = 7;
constexpr int kQuorbitTrajectoryPoints = 5;
constexpr int kQuorbitPointValues = 4; // x, y, and the rotation's cosine and sine, each in 0..1
constexpr int kQuorbitTrajectoryBytes = kQuorbitTrajectoryPoints * kQuorbitPointValues * 4;

namespace QuorbitOutput {
constexpr int Lfo1 = 0;
constexpr int Lfo2 = 1;
constexpr int Lfo3 = 2;
constexpr int Mean = 3;
constexpr int RotatedX = 4;
constexpr int RotatedY = 5;
constexpr int RotatedMean = 6;
} // namespace QuorbitOutput

struct QuorbitModule {
    ModuleHead head;
    PortEntry ports[kQuorbitOutputs]; // value ports
    uint32_t phase[kQuorbitLfos];
    float lastRate[kQuorbitLfos];
    uint32_t trajectoryCounter; // blocks since the last point, 0..10
    uint32_t trajectoryIndex;   // the next point of the trajectory, 0..4
    float trajectory[kQuorbitTrajectoryPoints][kQuorbitPointValues];
};

struct QuorbitParams {
    int32_t shape[kQuorbitLfos]; // 0 sawtooth, 1 square, 2 sine, 3 triangle
    float rateHz[kQuorbitLfos];
    float syncCode[kQuorbitLfos]; // 0 when the rate word is 0 or below: the LFO stands
    float spare[6];               // parameters 14..19, which the sound never reads
    float angle;                  // radians
    int32_t midiSync;
    int32_t freeRunning;
};

void initQuorbit(void* module, EngineContext* context);
void processQuorbit(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                    const uint32_t* counts);
void loadQuorbitBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setQuorbitParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                         EngineContext* context);

inline constexpr ModuleOps kQuorbitOps{initQuorbit, processQuorbit, loadQuorbitBlock, setQuorbitParameter};

} // namespace corvex
