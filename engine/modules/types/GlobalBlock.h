// Type 61: the kernel-global block that configures the arpeggiator (switches, mode, range, rate).
#pragma once

#include "engine/modules/ModuleFramework.h"

namespace corvex {

enum ArpeggioMode : int32_t { ArpeggioUp = 0, ArpeggioDown = 1, ArpeggioUpDown = 2, ArpeggioRandom = 3 };

constexpr int kArpeggioModeCount = 4;
constexpr int kMaxOctaveRange = 3; // the arpeggio spans range + 1 octaves
constexpr float kSlowestFreeRate = 37.5f; // steps per minute

struct GlobalBlockParams {
    int32_t layer1Arpeggiator; // word 7; non-zero is on
    int32_t layer2Arpeggiator; // word 8
    int32_t mode;              // word 10, 0 .. 3
    int32_t octaveRange;       // word 11, 0 .. 3
    float freeRate;            // word 13 in free time: steps per minute
    float syncCode;            // word 13 in tempo time: cycles per beat, or beats per cycle when negative
    int32_t tempoSync;         // word 14; non-zero is on
    int32_t stateWord;         // the block's state word, kept for whoever reads it back
};

// The free rate curve: steps per minute at r = 0, 0.25, 0.5, 0.75 and 1 of the rate word.
float arpeggioFreeRate(float r);

void globalBlockLoad(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void globalBlockSet(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                    EngineContext* context);

inline constexpr ModuleOps kGlobalBlockOps{nullptr, nullptr, globalBlockLoad, globalBlockSet};

} // namespace corvex
