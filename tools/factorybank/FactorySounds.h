// The factory bank as data: each program a name, its library attributes and the parameter values that make
// its sound, each patch its programs, key mode, project and global settings. The generator plays them into
// the instrument by key; nothing here knows how a value reaches the kernel.
#pragma once

#include <vector>

namespace corvex::factory {

// A normalised parameter value (0..1) for the row the key names when it is set. Rows are looked up at that
// moment because an effect choice changes what the rows after it mean.
struct Setting {
    const char* key;
    float value;
};

struct ProgramSound {
    int number; // the identifier is "U_" + number: fixed, so that patches and users' patches keep finding it
    const char* name;
    const char* type;
    std::vector<const char*> characteristics;
    std::vector<Setting> settings; // Upper-layer keys only: a program is one layer
};

struct PatchSound {
    int number;
    const char* name;
    const char* project;
    const char* mode;  // "Whole", "Dual" or "Split"
    const char* upper; // program names; a Whole patch has no lower program of its own
    const char* lower;
    std::vector<Setting> settings; // global keys only: a patch holds what both layers share
};

// Identifier numbers: programs and patches live in separate managers, the ranges only keep them readable.
// Far below any millisecond clock reading, so they never meet an identifier made for a user's preset.
constexpr int kFirstProgramNumber = 1001;
constexpr int kFirstPatchNumber = 2001;

// "Default": the initial program, as every program starts, at the level of the rest of the bank.
const std::vector<Setting>& defaultProgramSettings();
const std::vector<ProgramSound>& programSounds();
const std::vector<PatchSound>& patchSounds();

// ---- Value vocabulary of the tables ----

// The centre of step i of an n-step row, as a discrete control sends it.
constexpr float choice(int step, int steps) { return (static_cast<float>(step) + 0.5f) / static_cast<float>(steps); }

constexpr float kOff = choice(0, 2);
constexpr float kOn = choice(1, 2);

constexpr float kOsc1Triangle = choice(0, 4), kOsc1Saw = choice(1, 4), kOsc1Rectangle = choice(2, 4),
                kOsc1Square = choice(3, 4);
constexpr float kOsc2Sine = choice(0, 4), kOsc2Saw = choice(1, 4), kOsc2Rectangle = choice(2, 4),
                kOsc2Noise = choice(3, 4);
constexpr float kLfoSine = choice(0, 4), kLfoSaw = choice(1, 4), kLfoSquare = choice(2, 4), kLfoNoise = choice(3, 4);
constexpr float k16Feet = choice(0, 4), k8Feet = choice(1, 4), k4Feet = choice(2, 4), k2Feet = choice(3, 4);
constexpr float k12dB = choice(0, 2), k24dB = choice(1, 2);
constexpr float kEnvelope1 = choice(0, 2), kEnvelope2 = choice(1, 2);
// Oscillator modulation destinations and pulse-width sources.
constexpr float kModOsc2 = choice(0, 3), kModBoth = choice(1, 3), kModOsc1 = choice(2, 3);
constexpr float kPwmEnvelope = choice(0, 3), kPwmManual = choice(1, 3), kPwmLfo = choice(2, 3);

// Insert effects of a layer's chains, and the master effects of a patch.
constexpr float kNoEffect = choice(0, 6), kChorus = choice(1, 6), kDistortion = choice(2, 6), kEqualiser = choice(3, 6),
                kPhaser = choice(4, 6), kRingMod = choice(5, 6);
constexpr float kNoMasterEffect = choice(0, 5), kStereoChorus = choice(1, 5), kStereoDelay = choice(2, 5),
                kStereoReverb = choice(3, 5), kStereoPhaser = choice(4, 5);

// Sequencer outputs: what they send and where; the keyboard's velocity routes share the destinations.
constexpr float kSeqRaw = choice(0, 2), kSeqPitch = choice(1, 2);
constexpr float kToOsc1Pitch = choice(1, 9), kToOsc2Pitch = choice(2, 9), kToLowPass = choice(6, 9),
                kToAmplifier = choice(8, 9);
constexpr float seqLength(int steps) { return choice(steps - 1, 32); }
// The sequencer's time grid counts quarter steps per beat.
constexpr float stepsPerBeat(int steps) { return choice(4 * steps, 129); }

// Oscillator 2's coarse tune in whole semitones (-12..+24). The oscillator truncates towards zero, so the
// value lies half a semitone further out, except at the two ends, which the range holds exactly.
constexpr float semitones(int s) {
    const float shifted = static_cast<float>(s) + 12.0f + (s < 0 ? -0.5f : s > 0 ? 0.5f : 0.0f);
    return shifted <= 0.0f ? 0.0f : shifted >= 36.0f ? 1.0f : shifted / 36.0f;
}

// The split point of a patch: the lowest key of the Upper layer.
constexpr float splitAt(int note) { return choice(note, 128); }

} // namespace corvex::factory
