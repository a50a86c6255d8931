// Type 2: a voice's note, velocity, bend and pressure as control outputs (glided pitch, key follow,
// velocity and pressure through drawn curves, smoothed bend).
#pragma once

#include "engine/modules/ModuleFramework.h"

namespace corvex {

constexpr int kCurvePoints = 7; // curves are sampled at x = 0, 1/6, ..., 1

struct VoiceControlParams {
    float keyFollow[4][3]; // scale, amount, centre
    int32_t curveSelect;
    float glideTime; // milliseconds
    float glideCoefficient;
    float velocityControls[4]; // start, shape, middle, end
    float pressureControls[4];
    float velocityCurve[kCurvePoints];
    float pressureCurve[kCurvePoints];
};

struct VoiceControlModule {
    ModuleHead head;
    PortEntry ports[7]; // 0..3 key follow, 4 velocity, 5 smoothed bend, 6 pressure
    float targetNote;
    float currentPitch;
    float increment;
    int32_t glidePosition;
    int32_t velocity;
    float smoothedBend;
    int32_t initialised;
    float pitchCopies[4];
    float bendJump;
    const float* partBend;
    const uint16_t* partPressureNote;
    const float* partPressureValue;
};

void voiceControlInit(void* module, EngineContext* context);
void voiceControlProcess(void* module, const ConnectionDescriptor*, const PortEntry* const*, const uint32_t*);
void voiceControlLoad(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void voiceControlSet(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                     EngineContext* context);

inline constexpr ModuleOps kVoiceControlOps{voiceControlInit, voiceControlProcess, voiceControlLoad, voiceControlSet};

// Where the voice reads its part's bend and pressure; set when the voice is built.
void voiceControlAttach(void* module, const float* bend, const uint16_t* pressureNote, const float* pressureValue);
void voiceControlNoteOn(void* module, int note, int velocity);

// Shared curve helpers: draw a 7-point curve from its four controls, read it at x.
void drawControlCurve(const float controls[4], float curve[kCurvePoints]);
float readControlCurve(const float curve[kCurvePoints], float x);
float glideTimeFromValue(float v);

} // namespace corvex
