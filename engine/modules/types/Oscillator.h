// The audio oscillator of a voice (type 3): five ports, a block-rate and an audio-rate pitch path, hard sync.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"
#include "engine/modules/types/OscillatorGenerators.h"

namespace corvex {

constexpr int kOscillatorPorts = 5;
constexpr int kOscillatorWavePorts = 4;
constexpr int kOscillatorSyncPort = 4;

// Port selectors; any other value generates nothing for the port.
namespace OscillatorWave {
constexpr int32_t None = -1;
constexpr int32_t Sawtooth = 0;
constexpr int32_t Pulse = 1;
constexpr int32_t Sine = 2;
constexpr int32_t Triangle = 3;
constexpr int32_t PassThrough = 5;
} // namespace OscillatorWave

// Inputs in the order of the connection counts.
namespace OscillatorInput {
constexpr int Pitch = 0; // semitones
constexpr int Spare = 1; // summed, never used
constexpr int PulseWidth = 2;
constexpr int Sync = 3;        // first connection only
constexpr int PassThrough = 4; // first connection only
constexpr int LinearFm = 5;    // first connection only
constexpr int Count = 6;
} // namespace OscillatorInput

constexpr int32_t kLowFrequencyMode = 8;

struct OscillatorParams {
    int32_t mode;           // 0 tunes the coarse ratio continuously, others in whole semitones
    float octave;           // semitones
    float pulseWidth;       // fraction of the period
    float fineTune;         // frequency factor 0.95 .. 1.05
    float coarseRatio;
    int32_t syncOn;
    int32_t portWave[kOscillatorWavePorts];
    int32_t spareInt;       // also the selector that the sync port answers to
    float spareFraction;
    float modeGain;
    float frequencyFactor;  // everything but the pitch and the tuning
    int32_t lowFrequencyOn; // with mode 8: a fixed slow rate, pitch inputs ignored
};

// Phases, glide history and the parabola states sit behind the ports, so a rebuilt voice carries
// a sounding oscillator on without a jump; rings and filters start again at every init.
struct COscillator {
    ModuleHead head;
    PortEntry ports[kOscillatorPorts];

    int32_t firstBlock;
    uint32_t marker; // set by the pool item's first init, never cleared

    float sawPhase;  // -0.5 .. 0.5, falling
    float syncPhase; // the sync port's own phase, same range
    float* syncBuffer;    // the block the sync output last went into, or null when it may hold anything
    uint32_t syncWritten; // the samples of that block that may not be zero
    float increment; // of the block's frequency, per sample
    float period;    // samples
    float period64;  // whole sixty-fourths of a sample
    float previousFrequency;
    int32_t detuneVoice; // the voice index detuneScale was made for
    float detuneScale;   // hertz per unit of detune: ln(voice + 1) x sign x 0.085

    float pulseLevel;   // -0.5 or +0.5
    float pulseCounter; // sixty-fourths of a sample into the period
    float targetWidth;
    float smoothedWidth;
    float previousWidth;
    float pulseOrTriangle;
    float squareLevel;
    float squareCounter;

    ParabolaState parabola[2]; // the sawtooth (and the pulse's first), the pulse's second

    float sinePhase; // radians
    float sineRamp;
    float sineRampIncrement;

    float triangleIntegrator;
    float triangleTracker;
    float triangleRamp;
    float triangleIncrement;

    float syncedSineSum;
    float syncedSineTracker;
    int32_t syncedSineWrite;
    int32_t syncedSineRead;
    HalfBandDecimator decimator;

    float toneLow1;
    float toneLow2;
    float coefficientRate; // the rate the coefficients below were made for
    float inverseRate;
    float trackerCoefficient;
    float toneCoefficient1;
    float toneCoefficient2;

    DelayRing sawRing;
    DelayRing pulseRing;
    DelayRing squareRing; // the block-rate triangle integrates this one
    float syncedSineRing[2 * kRingSize];
};

void initOscillator(void* module, EngineContext* context);
void processOscillator(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                       const uint32_t* counts);
// The oscillators of one slot in several voices, each playing exactly what processOscillator plays.
void processOscillators(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                        const PortEntry* const* const* sources, const uint32_t* counts);
void loadOscillatorBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setOscillatorParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                            EngineContext* context);

inline constexpr ModuleOps kOscillatorOps{initOscillator, processOscillator, loadOscillatorBlock,
                                          setOscillatorParameter};

} // namespace corvex
