// The factory programs. Each starts from the initial program (a saw on each oscillator, the second slightly
// sharp, both at full level; the low-pass open with envelope 1 on it; envelope 2 on the amplifier at full
// sustain) and lists what makes it different, always with both oscillators' waves: a wave left out plays the
// initial saw, whatever the program's name promises.
//
// Levels: the amplifier's envelope amount ("UVcaEnv") sets each program so that a four-note chord at velocity
// 100 sounds near -18 dBFS (a decaying sound at its strike) and peaks below -3 dBFS at velocity 127. A source
// too quiet for that (noise, a resonant filter) gets a flat equaliser in the second insert chain, whose output
// adds up to 12 dB. tests/tools/FactoryBankSoundTest.cpp holds these figures.
//
// What the numbers mean, roughly: cutoff 0.25 is 125 Hz, 0.5 about 800 Hz, 0.75 about 6.5 kHz, before
// keyboard follow; attack 0.25 is 50 ms, 0.5 is 450 ms; decay 0.3 is 300 ms, 0.5 1.5 s (to silence);
// release 0.2 is 150 ms, 0.35 is 800 ms; LFO rate 0.5 is 1.1 Hz, 0.65 about 4 Hz. The oscillator mixer leaves
// the quieter oscillator 4 dB down at 0.4 (or 0.6), 12 dB at 0.3 and 22 dB, all but silent, at 0.2.
#include "tools/factorybank/FactorySounds.h"

namespace corvex::factory {

namespace {

// A sound played from the keyboard: a softer strike sounds up to 6 dB quieter (velocity route 1, on the
// amplifier) and, with `brightness` above 0.5, darker too (route 2, on the low-pass filter; 0.5 leaves it be).
std::vector<Setting> played(float brightness, std::vector<Setting> settings) {
    settings.push_back({"UKeybV1D", kToAmplifier});
    settings.push_back({"UKeybV1A", 1.0f});
    if (brightness != 0.5f) {
        settings.push_back({"UKeybV2D", kToLowPass});
        settings.push_back({"UKeybV2A", brightness});
    }
    return settings;
}

} // namespace

const std::vector<Setting>& defaultProgramSettings() {
    static const std::vector<Setting> settings{{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UVcaEnv", 0.45f}};
    return settings;
}

const std::vector<ProgramSound>& programSounds() {
    static const std::vector<ProgramSound> sounds{
        // ---- Bass ----
        {1001, "Deep Sub", "Bass", {"Dark", "Simple", "Soft"},
         played(0.5f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 1.0f}, {"UOsc2Rng", semitones(-12)},
          {"UOsc2FiT", 0.5f}, {"ULpfCut", 0.6f}, {"ULpfEnvM", 0.0f}, {"UEnv2Rel", 0.18f}, {"UVcaEnv", 0.676f}})},
        {1002, "Acid Squelch", "Bass", {"Acid", "Funky"},
         played(0.5f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 0.0f}, {"ULpfCut", 0.3f},
          {"ULpfRes", 0.72f}, {"ULpfEnvM", 1.0f}, {"UEnv1Dec", 0.34f}, {"UEnv1Sus", 0.1f}, {"UEnv2Rel", 0.12f},
          {"UVcaEnv", 0.841f}})},
        {1003, "Fat Saw Bass", "Bass", {"Agressive", "Hard"},
         played(0.75f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2Rng", semitones(-12)},
          {"UOsc2FiT", 0.52f}, {"ULpfCut", 0.33f}, {"ULpfRes", 0.2f}, {"ULpfEnvM", 0.75f}, {"UEnv1Dec", 0.36f},
          {"UEnv1Sus", 0.2f}, {"UEnv2Rel", 0.12f}, {"UVcaEnv", 0.724f}})},
        {1004, "Rubber Bass", "Bass", {"Funky", "Short"},
         played(0.7f, {{"UOsc1Wav", kOsc1Square}, {"UOsc2Wav", kOsc2Sine}, {"UOsc2Rng", semitones(-12)},
          {"UOsc2FiT", 0.5f}, {"UOscMix", 0.4f}, {"ULpfCut", 0.3f}, {"ULpfRes", 0.4f}, {"ULpfEnvM", 0.5f},
          {"UEnv1Dec", 0.34f}, {"UEnv1Sus", 0.0f}, {"UEnv2Dec", 0.45f}, {"UEnv2Sus", 0.75f}, {"UEnv2Rel", 0.1f},
          {"UEf2Typ", kEqualiser}, {"UEf2DW", 1.0f}, {"UEf2Out", 0.8f}, {"UVcaEnv", 0.804f}})},
        {1005, "Pluck Bass", "Bass", {"Bright", "Short"},
         played(0.75f, {{"UOsc1Wav", kOsc1Rectangle}, {"UOsc2Wav", kOsc2Sine}, {"UOscPwmS", kPwmManual},
          {"UOscPwmM", 0.35f}, {"UOscMix", 0.4f}, {"UOsc2Rng", semitones(-12)}, {"UOsc2FiT", 0.5f}, {"ULpfCut", 0.3f},
          {"ULpfEnvM", 0.85f}, {"UEnv1Dec", 0.36f}, {"UEnv1Sus", 0.0f}, {"UEnv2Dec", 0.55f}, {"UEnv2Sus", 0.0f},
          {"UEnv2Rel", 0.15f}, {"UEnv2Att", 0.08f}, {"UVcaEnv", 0.653f}})},
        {1006, "Growl Bass", "Bass", {"Agressive", "Complex", "Dark"},
         played(0.7f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2Rng", semitones(7)}, {"UOsc2FiT", 0.51f},
          {"UOscMix", 0.35f}, {"ULpfCut", 0.3f}, {"ULpfRes", 0.45f}, {"ULpfEnvM", 0.5f}, {"ULfoFilt", 0.35f},
          {"ULfoRate", 0.6f}, {"ULfoDeca", 0.0f}, {"UEf1Typ", kDistortion}, {"UEf1DW", 0.7f}, {"UEf1Pr1", 0.6f},
          {"UEf1Out", 1.0f}, {"UVcaEnv", 0.724f}})},
        // ---- Brass ----
        {1007, "Soft Brass", "Brass", {"Soft", "Ensemble"},
         played(0.75f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.53f}, {"ULpfCut", 0.4f},
          {"ULpfEnvM", 0.7f}, {"UEnv1Att", 0.28f}, {"UEnv1Dec", 0.42f}, {"UEnv1Sus", 0.45f}, {"UEnv2Att", 0.2f},
          {"UEnv2Rel", 0.25f}, {"UVcaEnv", 0.543f}})},
        {1008, "Brass Stab", "Brass", {"Bright", "Hard", "Short"},
         played(0.8f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.54f}, {"ULpfCut", 0.35f},
          {"ULpfEnvM", 0.9f}, {"UEnv1Att", 0.15f}, {"UEnv1Dec", 0.3f}, {"UEnv1Sus", 0.2f}, {"UEnv2Att", 0.08f},
          {"UEnv2Dec", 0.35f}, {"UEnv2Sus", 0.6f}, {"UEnv2Rel", 0.15f}, {"UVcaEnv", 0.881f}})},
        {1009, "Horn Section", "Brass", {"Ensemble", "Long"},
         played(0.75f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.545f}, {"ULpfCut", 0.38f},
          {"ULpfEnvM", 0.75f}, {"UEnv1Att", 0.3f}, {"UEnv1Dec", 0.45f}, {"UEnv1Sus", 0.5f}, {"UEnv2Att", 0.22f},
          {"UEnv2Rel", 0.28f}, {"UEf1Typ", kChorus}, {"UVcaEnv", 0.794f}})},
        {1010, "Brass Swell", "Brass", {"Long", "Soundtrack"},
         played(0.7f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.53f}, {"ULpfCut", 0.3f},
          {"ULpfEnvM", 0.8f}, {"UEnv1Att", 0.5f}, {"UEnv1Dec", 0.5f}, {"UEnv1Sus", 0.6f}, {"UEnv2Att", 0.45f},
          {"UEnv2Rel", 0.3f}, {"UVcaEnv", 0.543f}})},
        // ---- Efx ----
        {1011, "Noise Sweep", "Efx", {"Ambient", "Noise", "Soundtrack"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Noise}, {"UOscMix", 1.0f}, {"ULpfCut", 0.3f}, {"ULpfRes", 0.5f},
          {"ULpfEnvM", 1.0f}, {"UEnv1Att", 0.6f}, {"UEnv1Dec", 0.6f}, {"UEnv1Sus", 0.3f}, {"UEnv2Att", 0.4f},
          {"UEnv2Rel", 0.35f}, {"UEf2Typ", kEqualiser}, {"UEf2DW", 1.0f}, {"UEf2Out", 1.0f}, {"UVcaEnv", 0.881f}}},
        {1012, "Ring Bells", "Efx", {"Bizarre", "Complex", "Digital"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Sine}, {"UOsc2Rng", semitones(5)}, {"UEnv2Dec", 0.55f},
          {"UEnv2Sus", 0.0f}, {"UEnv2Rel", 0.3f}, {"UEf1Typ", kRingMod}, {"UEf1DW", 0.8f}, {"UEf1Pr1", 0.6f}}},
        {1013, "Laser Zap", "Efx", {"Bizarre", "Short"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Sine}, {"UOscModS", kModBoth}, {"UOscEnvM", 0.8f},
          {"ULpfCut", 0.7f}, {"UEnv1Dec", 0.3f}, {"UEnv1Sus", 0.0f}, {"UEnv2Dec", 0.42f}, {"UEnv2Sus", 0.0f},
          {"UEnv2Rel", 0.1f}, {"UVcaEnv", 0.653f}}},
        {1014, "Random Bleeps", "Efx", {"Bizarre", "Digital"},
         {{"UOsc1Wav", kOsc1Square}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 0.0f}, {"UOscModS", kModBoth},
          {"UOscLfoM", 0.6f}, {"ULpfCut", 0.6f}, {"ULfoWave", kLfoNoise}, {"ULfoRate", 0.62f}, {"ULfoDeca", 0.0f},
          {"UVcaEnv", 0.407f}}},
        // ---- Fm ----
        {1015, "FM Bell", "Fm", {"Bright", "Digital"},
         {{"UOsc1Wav", kOsc1Triangle}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 0.0f}, {"UOsc2Rng", semitones(19)},
          {"UOsc2FiT", 0.5f}, {"UOscCMod", 0.4f}, {"UEnv2Dec", 0.55f}, {"UEnv2Sus", 0.0f}, {"UEnv2Rel", 0.35f},
          {"UVcaEnv", 0.343f}}},
        {1016, "FM Piano", "Fm", {"Digital", "Soft"},
         played(0.5f, {{"UOsc1Wav", kOsc1Triangle}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 0.0f},
          {"UOsc2Rng", semitones(12)}, {"UOsc2FiT", 0.5f}, {"UOscCMod", 0.25f}, {"UEnv2Dec", 0.5f}, {"UEnv2Sus", 0.2f},
          {"UEnv2Rel", 0.25f}, {"UVcaEnv", 0.759f}})},
        {1017, "FM Metal Bass", "Fm", {"Agressive", "Digital", "Hard"},
         played(0.7f, {{"UOsc1Wav", kOsc1Triangle}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 0.0f},
          {"UOsc2Rng", semitones(7)}, {"UOscCMod", 0.6f}, {"ULpfCut", 0.45f}, {"ULpfEnvM", 0.2f}, {"UEnv1Dec", 0.3f},
          {"UEnv1Sus", 0.2f}, {"UEnv2Dec", 0.4f}, {"UEnv2Sus", 0.9f}, {"UVcaEnv", 0.432f}})},
        {1018, "FM Glass", "Fm", {"Ambient", "Bright"},
         {{"UOsc1Wav", kOsc1Triangle}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 0.0f}, {"UOsc2Rng", semitones(24)},
          {"UOsc2FiT", 0.5f}, {"UOscCMod", 0.3f}, {"UEnv2Att", 0.1f}, {"UEnv2Rel", 0.35f}, {"UEf1Typ", kChorus},
          {"UVcaEnv", 0.7f}}},
        // ---- Guitar ----
        {1019, "Clean Guitar", "Guitar", {"Short", "Soft"},
         played(0.7f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Rectangle}, {"UOsc2Rng", semitones(12)},
          {"UOscMix", 0.4f}, {"ULpfCut", 0.35f}, {"ULpfEnvM", 0.7f}, {"UEnv1Dec", 0.36f}, {"UEnv1Sus", 0.1f},
          {"UEnv2Dec", 0.55f}, {"UEnv2Sus", 0.0f}, {"UEnv2Rel", 0.2f}, {"UEf1Typ", kChorus}, {"UEf1Out", 0.78f}})},
        {1020, "Overdrive Guitar", "Guitar", {"Agressive", "Hard"},
         played(0.65f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.52f}, {"ULpfCut", 0.55f},
          {"ULpfEnvM", 0.3f}, {"UEnv2Dec", 0.55f}, {"UEnv2Sus", 0.4f}, {"UEnv2Rel", 0.18f}, {"UEf1Typ", kDistortion},
          {"UEf1DW", 1.0f}, {"UEf1Pr1", 0.7f}, {"UEf1Out", 1.0f}, {"UVcaEnv", 0.923f}})},
        {1021, "Funk Mute", "Guitar", {"Funky", "Short"},
         played(0.75f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 0.4f}, {"ULpfCut", 0.35f},
          {"ULpfRes", 0.3f}, {"ULpfEnvM", 0.8f}, {"UEnv1Dec", 0.32f}, {"UEnv1Sus", 0.0f}, {"UEnv2Dec", 0.52f},
          {"UEnv2Sus", 0.0f}, {"UEnv2Rel", 0.1f}, {"UEf2Typ", kEqualiser}, {"UEf2DW", 1.0f}, {"UEf2Out", 0.85f},
          {"UVcaEnv", 0.733f}})},
        // ---- Lead ----
        {1022, "Saw Lead", "Lead", {"Bright", "Simple"},
         played(0.7f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.53f}, {"UOscModS", kModBoth},
          {"UOscLfoM", 0.08f}, {"ULpfCut", 0.6f}, {"ULpfRes", 0.2f}, {"ULpfEnvM", 0.4f}, {"ULfoRate", 0.65f},
          {"ULfoDeca", 0.5f}, {"UVcaEnv", 0.638f}})},
        {1023, "Square Lead", "Lead", {"Hard", "Simple"},
         played(0.7f, {{"UOsc1Wav", kOsc1Square}, {"UOsc2Wav", kOsc2Rectangle}, {"UOsc2Rng", semitones(-12)},
          {"UOsc2FiT", 0.5f}, {"UOscModS", kModBoth}, {"UOscLfoM", 0.06f}, {"ULpfCut", 0.55f}, {"ULpfEnvM", 0.3f},
          {"ULfoRate", 0.66f}, {"UVcaEnv", 0.282f}})},
        {1024, "Sync Lead", "Lead", {"Agressive", "Bright"},
         played(0.65f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2Syn", kOn}, {"UOsc2Rng", semitones(12)},
          {"UOscMix", 0.65f}, {"UOscModS", kModOsc2}, {"UOscEnvM", 0.5f}, {"ULpfCut", 0.7f}, {"ULpfEnvM", 0.2f},
          {"UEnv1Dec", 0.4f}, {"UEnv1Sus", 0.2f}, {"UVcaEnv", 0.716f}})},
        {1025, "Soft Sine Lead", "Lead", {"Quiet", "Soft"},
         played(0.5f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 1.0f}, {"UOsc2FiT", 0.5f},
          {"UOscModS", kModBoth}, {"UOscLfoM", 0.07f}, {"ULfoRate", 0.64f}, {"UEnv2Att", 0.2f}, {"UEnv2Rel", 0.25f},
          {"UVcaEnv", 0.668f}})},
        {1026, "Acid Lead", "Lead", {"Acid", "Bright"},
         played(0.5f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 0.0f}, {"ULpfCut", 0.3f},
          {"ULpfRes", 0.65f}, {"ULpfEnvM", 0.9f}, {"UEnv1Dec", 0.4f}, {"UEnv1Sus", 0.3f}, {"UEf2Typ", kEqualiser},
          {"UEf2DW", 1.0f}, {"UEf2Out", 0.82f}, {"UVcaEnv", 1.0f}})},
        {1027, "Distorted Lead", "Lead", {"Agressive", "Hard"},
         played(0.65f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.52f}, {"ULpfCut", 0.5f},
          {"ULpfEnvM", 0.4f}, {"UEf1Typ", kDistortion}, {"UEf1DW", 1.0f}, {"UEf1Pr1", 0.8f}, {"UEf1Out", 1.0f},
          {"UEf2Typ", kEqualiser}, {"UVcaEnv", 0.55f}})},
        // ---- Organ ----
        {1028, "Drawbar Organ", "Organ", {"Bright", "Simple"},
         {{"UOsc1Wav", kOsc1Triangle}, {"UOsc2Wav", kOsc2Sine}, {"UOsc2Rng", semitones(12)}, {"UOsc2FiT", 0.5f},
          {"ULpfEnvM", 0.0f}, {"UEnv2Rel", 0.12f}, {"UEf1Typ", kChorus}, {"UVcaEnv", 0.776f}}},
        {1029, "Percussive Organ", "Organ", {"Bright", "Complex"},
         {{"UOsc1Wav", kOsc1Square}, {"UOsc2Wav", kOsc2Sine}, {"UOsc2Rng", semitones(19)}, {"UOsc2FiT", 0.5f},
          {"UOscMix", 0.35f}, {"ULpfCut", 0.55f}, {"ULpfEnvM", 0.5f}, {"UEnv1Dec", 0.3f}, {"UEnv1Sus", 0.2f},
          {"UEnv2Rel", 0.1f}, {"UVcaEnv", 0.412f}}},
        {1030, "Dark Organ", "Organ", {"Dark", "Soft"},
         {{"UOsc1Wav", kOsc1Square}, {"UOsc2Wav", kOsc2Sine}, {"UOsc2Rng", semitones(-12)}, {"UOsc2FiT", 0.5f},
          {"ULpfCut", 0.5f}, {"ULpfEnvM", 0.0f}, {"UEnv2Rel", 0.15f}, {"UEf1Typ", kPhaser}, {"UVcaEnv", 0.442f}}},
        // ---- Pad ----
        {1031, "Warm Pad", "Pad", {"Ambient", "Long", "Soft"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.535f}, {"ULpfCut", 0.45f}, {"ULpfEnvM", 0.3f},
          {"UEnv1Att", 0.55f}, {"UEnv1Dec", 0.6f}, {"UEnv1Sus", 0.6f}, {"UEnv2Att", 0.5f}, {"UEnv2Rel", 0.38f},
          {"UEf1Typ", kChorus}, {"UVcaEnv", 0.851f}}},
        {1032, "Glass Pad", "Pad", {"Ambient", "Bright"},
         {{"UOsc1Wav", kOsc1Rectangle}, {"UOsc2Wav", kOsc2Sine}, {"UOsc2Rng", semitones(12)}, {"UOsc2FiT", 0.51f},
          {"ULpfCut", 0.6f}, {"ULpfEnvM", 0.2f}, {"UEnv2Att", 0.45f}, {"UEnv2Rel", 0.36f}, {"UEf1Typ", kPhaser},
          {"UVcaEnv", 0.531f}}},
        {1033, "Dark Drone", "Pad", {"Dark", "Long", "Soundtrack"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2Rng", semitones(-12)}, {"UOsc2FiT", 0.52f},
          {"ULpfCut", 0.3f}, {"ULpfRes", 0.4f}, {"ULpfEnvM", 0.0f}, {"ULfoFilt", 0.3f}, {"ULfoRate", 0.3f},
          {"ULfoDeca", 0.0f}, {"UEnv2Att", 0.55f}, {"UEnv2Rel", 0.4f}}},
        {1034, "Sweep Pad", "Pad", {"Ambient", "Complex"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.54f}, {"ULpfCut", 0.4f}, {"ULpfRes", 0.35f},
          {"ULpfEnvM", 0.0f}, {"ULfoFilt", 0.5f}, {"ULfoRate", 0.35f}, {"ULfoDeca", 0.0f}, {"UEnv2Att", 0.45f},
          {"UEnv2Rel", 0.37f}, {"UVcaEnv", 0.923f}}},
        {1035, "PWM Pad", "Pad", {"Ensemble", "Soft"},
         {{"UOsc1Wav", kOsc1Rectangle}, {"UOsc2Wav", kOsc2Rectangle}, {"UOscPwmS", kPwmLfo}, {"UOscPwmM", 0.5f},
          {"UOscMix", 0.4f}, {"ULpfCut", 0.5f}, {"ULpfEnvM", 0.2f}, {"ULfoRate", 0.45f}, {"ULfoDeca", 0.0f},
          {"UEnv2Att", 0.42f}, {"UEnv2Rel", 0.36f}, {"UEf1Typ", kChorus}, {"UVcaEnv", 0.767f}}},
        {1036, "Noise Wash", "Pad", {"Ambient", "Noise"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Noise}, {"UOscMix", 0.5f}, {"ULpfCut", 0.55f}, {"ULpfRes", 0.5f},
          {"ULpfEnvM", 0.0f}, {"ULfoFilt", 0.4f}, {"ULfoRate", 0.28f}, {"ULfoDeca", 0.0f}, {"UEnv2Att", 0.55f},
          {"UEnv2Rel", 0.4f}, {"UEf2Typ", kEqualiser}, {"UEf2DW", 1.0f}, {"UEf2Out", 0.8f}}},
        // ---- Percussive ----
        {1037, "Synth Tom", "Percussive", {"Hard", "Short"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 1.0f}, {"UOsc2FiT", 0.5f},
          {"UOscModS", kModBoth}, {"UOscEnvM", 0.4f}, {"UEnv1Dec", 0.3f}, {"UEnv1Sus", 0.0f}, {"UEnv2Dec", 0.45f},
          {"UEnv2Sus", 0.0f}, {"UEnv2Rel", 0.2f}}},
        {1038, "Noise Snare", "Percussive", {"Noise", "Short"},
         {{"UOsc1Wav", kOsc1Triangle}, {"UOsc2Wav", kOsc2Noise}, {"UOscMix", 0.6f}, {"ULpfCut", 0.8f},
          {"ULpfEnvM", 0.0f}, {"UEnv2Dec", 0.46f}, {"UEnv2Sus", 0.0f}, {"UEnv2Rel", 0.15f}, {"UEf2Typ", kEqualiser},
          {"UEf2DW", 1.0f}, {"UEf2Out", 0.95f}, {"UVcaEnv", 0.479f}}},
        {1039, "Kick Drum", "Percussive", {"Hard", "Short"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 1.0f}, {"UOsc2Rng", semitones(-12)},
          {"UOsc2FiT", 0.5f}, {"UOscModS", kModBoth}, {"UOscEnvM", 0.7f}, {"UEnv1Dec", 0.22f}, {"UEnv1Sus", 0.0f},
          {"UEnv2Dec", 0.44f}, {"UEnv2Sus", 0.0f}, {"UEnv2Rel", 0.15f}}},
        {1040, "Metal Hit", "Percussive", {"Bizarre", "Digital", "Short"},
         {{"UOsc1Wav", kOsc1Square}, {"UOsc2Wav", kOsc2Sine}, {"UOsc2Rng", semitones(6)}, {"UOscCMod", 0.5f},
          {"UEnv2Dec", 0.46f}, {"UEnv2Sus", 0.0f}, {"UEnv2Rel", 0.2f}, {"UEf1Typ", kRingMod}, {"UEf1DW", 0.7f},
          {"UEf1Out", 0.8f}, {"UVcaEnv", 0.933f}}},
        // ---- Piano ----
        {1041, "Synth Piano", "Piano", {"Bright"},
         played(0.75f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Rectangle}, {"UOsc2FiT", 0.51f}, {"ULpfCut", 0.45f},
          {"ULpfEnvM", 0.7f}, {"UEnv1Dec", 0.55f}, {"UEnv1Sus", 0.1f}, {"UEnv2Dec", 0.6f}, {"UEnv2Sus", 0.0f},
          {"UEnv2Rel", 0.25f}, {"UVcaEnv", 0.479f}})},
        {1042, "Electric Piano", "Piano", {"Soft"},
         played(0.5f, {{"UOsc1Wav", kOsc1Triangle}, {"UOsc2Wav", kOsc2Sine}, {"UOsc2Rng", semitones(12)},
          {"UOsc2FiT", 0.5f}, {"UOscMix", 0.4f}, {"UEnv2Dec", 0.6f}, {"UEnv2Sus", 0.15f}, {"UEnv2Rel", 0.25f},
          {"UEf1Typ", kChorus}, {"UEf1Out", 0.79f}})},
        {1043, "Honky Piano", "Piano", {"Bright", "Funky"},
         played(0.75f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.56f}, {"ULpfCut", 0.5f},
          {"ULpfEnvM", 0.6f}, {"UEnv1Dec", 0.5f}, {"UEnv1Sus", 0.1f}, {"UEnv2Dec", 0.58f}, {"UEnv2Sus", 0.0f},
          {"UEnv2Rel", 0.22f}, {"UVcaEnv", 0.661f}})},
        // ---- Sequence ----
        {1044, "Filter Sequence", "Sequence", {"Acid", "Funky"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 0.0f}, {"ULpfCut", 0.32f}, {"ULpfRes", 0.5f},
          {"ULpfEnvM", 0.0f}, {"USqOut1S", kSeqRaw}, {"USqOut1D", kToLowPass}, {"USqOut1A", 0.5f},
          {"USeqLen", seqLength(8)}, {"USeqS 1", 1.0f}, {"USeqS 2", 0.2f}, {"USeqS 3", 0.6f}, {"USeqS 4", 0.1f},
          {"USeqS 5", 0.8f}, {"USeqS 6", 0.3f}, {"USeqS 7", 0.5f}, {"USeqS 8", 0.0f}, {"USeqQ", stepsPerBeat(2)},
          {"UEf2Typ", kEqualiser}, {"UEf2DW", 1.0f}, {"UEf2Out", 0.85f}}},
        {1045, "Pitch Sequence", "Sequence", {"Complex", "Digital"},
         {{"UOsc1Wav", kOsc1Square}, {"UOsc2Wav", kOsc2Sine}, {"UOscMix", 0.0f}, {"ULpfCut", 0.6f},
          {"USqOut1S", kSeqPitch}, {"USqOut1D", kToOsc1Pitch}, {"USeqLen", seqLength(8)}, {"USeqS 1", 0.5f},
          {"USeqS 2", 0.55f}, {"USeqS 3", 0.6f}, {"USeqS 4", 0.5f}, {"USeqS 5", 0.65f}, {"USeqS 6", 0.6f},
          {"USeqS 7", 0.55f}, {"USeqS 8", 0.45f}, {"UEf1Typ", kChorus}, {"UVcaEnv", 0.569f}}},
        {1046, "Gated Sequence", "Sequence", {"Funky", "Short"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.53f}, {"ULpfCut", 0.5f}, {"ULpfEnvM", 0.0f},
          {"USqOut1S", kSeqRaw}, {"USqOut1D", kToAmplifier}, {"USqOut1A", 0.6f}, {"USeqLen", seqLength(8)},
          {"USeqS 1", 1.0f}, {"USeqS 2", 0.0f}, {"USeqS 3", 1.0f}, {"USeqS 4", 1.0f}, {"USeqS 5", 0.0f},
          {"USeqS 6", 1.0f}, {"USeqS 7", 0.0f}, {"USeqS 8", 1.0f}, {"UVcaEnv", 0.745f}}},
        // ---- Strings ----
        {1047, "String Ensemble", "Strings", {"Ensemble", "Long", "Soft"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.535f}, {"ULpfCut", 0.5f}, {"ULpfEnvM", 0.1f},
          {"UEnv2Att", 0.4f}, {"UEnv2Rel", 0.35f}, {"UEf1Typ", kChorus}}},
        {1048, "Pizzicato", "Strings", {"Short"},
         played(0.75f, {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.52f}, {"ULpfCut", 0.4f},
          {"ULpfEnvM", 0.6f}, {"UEnv1Dec", 0.38f}, {"UEnv1Sus", 0.0f}, {"UEnv2Dec", 0.55f}, {"UEnv2Sus", 0.0f},
          {"UEnv2Rel", 0.15f}, {"UVcaEnv", 0.724f}})},
        {1049, "Slow Strings", "Strings", {"Long", "Soundtrack"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.54f}, {"ULpfCut", 0.45f}, {"ULpfEnvM", 0.2f},
          {"UEnv1Att", 0.55f}, {"UEnv2Att", 0.55f}, {"UEnv2Rel", 0.4f}, {"UEf1Typ", kPhaser}}},
        {1050, "Bright Strings", "Strings", {"Bright", "Ensemble"},
         {{"UOsc1Wav", kOsc1Saw}, {"UOsc2Wav", kOsc2Saw}, {"UOsc2FiT", 0.54f}, {"ULpfCut", 0.65f}, {"ULpfRes", 0.15f},
          {"ULpfEnvM", 0.1f}, {"UEnv2Att", 0.3f}, {"UEnv2Rel", 0.3f}, {"UEf1Typ", kChorus}, {"UVcaEnv", 0.804f}}},
    };
    return sounds;
}

} // namespace corvex::factory
