// Parameter indices: the rows and editor ids known by name, which layer a row belongs to, and folding between
// the layers and effect chains.
#pragma once

namespace corvex::ParameterIndex {

// Rows of the table: 0 .. kCount - 1. The host sees the first kHostCount; a controller may learn the first
// kLearnableCount.
constexpr int kCount = 1010;
constexpr int kHostCount = 211;
constexpr int kLearnableCount = 249;

// Global rows: one value for both layers.
constexpr int kVolume = 184;
constexpr int kBalance = 185;
constexpr int kArpeggioRate = 186;
constexpr int kMasterTune = 187;
constexpr int kDetune = 188;
constexpr int kArpeggioSync = 233;
constexpr int kUpperHold = 234;
constexpr int kLowerHold = 235;
constexpr int kVco1BendSwitch = 236;
constexpr int kVco2BendSwitch = 237;
constexpr int kVcoBendAmount = 238;
constexpr int kVcfBendSwitch = 239;
constexpr int kVcfBendAmount = 240;
constexpr int kVcoLfoSwitch = 241;
constexpr int kVcoLfoAmount = 242;
constexpr int kVcfLfoSwitch = 243;
constexpr int kVcfLfoAmount = 244;
constexpr int kLfoTrigger = 245;
constexpr int kLfoRiseTime = 246;
constexpr int kPortamentoSwitch = 247;
constexpr int kPortamento = 248;
// The play modes: how the layers share the keyboard, where they split, and how each plays.
constexpr int kKeyMode = 971;
constexpr int kSplitKey = 972;
constexpr int kPolyMode = 973;
constexpr int kArpeggioMode = 974;
constexpr int kArpeggioRange = 975;
constexpr int kNotePriority = 976;
constexpr int kUnisonVoices = 977;
constexpr int kPitchWheel = 978;
constexpr int kPolyphony = 1009;
// The type of each master-effect slot (bypass, chorus, delay, reverb, phaser).
constexpr int kMasterEffectType[2] = {979, 994};

// Layer rows named outside their mappers, in their Upper form (unfold gives the Lower twin).
constexpr int kLfoRate = 0;
constexpr int kLfoDelay = 1;
constexpr int kOsc1Range = 2;
constexpr int kOsc2Range = 3;
constexpr int kOsc2FineTune = 4;
constexpr int kOsc2Sync = 5;
constexpr int kOscLfoMod = 6;
constexpr int kOscEnvMod = 7;
constexpr int kOscPwmMod = 8;
constexpr int kOscCrossMod = 9;
constexpr int kOscMix = 10;
constexpr int kHpfCutoff = 11;
constexpr int kCutoff = 12;
constexpr int kResonance = 13;
constexpr int kFilterSlope = 14;
constexpr int kFilterEnvSelect = 15;
constexpr int kFilterEnvMod = 16;
constexpr int kFilterLfoMod = 17;
constexpr int kFilterKeyFollow = 18;
constexpr int kVcaEnvMod = 19;
constexpr int kVcaLfoMod = 20;
constexpr int kEnv1Attack = 21;
constexpr int kEnv1Decay = 22;
constexpr int kEnv1Sustain = 23;
constexpr int kEnv1Release = 24;
constexpr int kEnv2Attack = 25;
constexpr int kEnv2Decay = 26;
constexpr int kEnv2Sustain = 27;
constexpr int kEnv2Release = 28;
constexpr int kLfoWave = 211;
constexpr int kLfoSync = 212;
constexpr int kOsc1Wave = 213;
constexpr int kOsc2Wave = 214;
constexpr int kOsc2LowFreq = 215;
constexpr int kOscModSelect = 216;
constexpr int kOscPwmSource = 217;
constexpr int kEnv1KeyFollow = 218;
constexpr int kEnv1Polarity = 219;
constexpr int kEnv2KeyFollow = 220;
// The effect type of each insert chain (0 before the filter, 1 after it).
constexpr int kInsertEffectType[2] = {249, 344};

// Editor ids: never rows of the table, so only the editor's widgets and the instrument's own reports use them.
constexpr int kReferenceTone = 1011;
constexpr int kUpperLfoLamp = 1012;
constexpr int kLowerLfoLamp = 1013;
constexpr int kUpperSequencerStep = 1014;
constexpr int kLowerSequencerStep = 1015;
constexpr int kShownLayer = 1016;
constexpr int kAboutShown = 1017;
constexpr int kLcdPage = 1018;

// The three blocks of layer rows; each Lower row is its Upper row plus the block's offset.
struct LayerBlock {
    int firstUpper, lastUpper, lowerOffset;
};
constexpr LayerBlock kLayerBlocks[3] = {{0, 91, 92}, {211, 221, 11}, {249, 609, 361}};

constexpr bool isValid(int index) { return index >= 0 && index < kCount; }

// 0 for an Upper row, 1 for a Lower row, -1 for a global row (or an index outside the table).
constexpr int layerOf(int index) {
    for (const LayerBlock& b : kLayerBlocks) {
        if (index >= b.firstUpper && index <= b.lastUpper) return 0;
        if (index >= b.firstUpper + b.lowerOffset && index <= b.lastUpper + b.lowerOffset) return 1;
    }
    return -1;
}

// A Lower row to its Upper twin; every other index stays.
constexpr int foldToUpper(int index) {
    for (const LayerBlock& b : kLayerBlocks)
        if (index >= b.firstUpper + b.lowerOffset && index <= b.lastUpper + b.lowerOffset) return index - b.lowerOffset;
    return index;
}

// An Upper row to its twin in layer 0 (itself) or 1; every other index stays.
constexpr int unfold(int upper, int layer) {
    for (const LayerBlock& b : kLayerBlocks)
        if (upper >= b.firstUpper && upper <= b.lastUpper) return upper + b.lowerOffset * (layer == 1 ? 1 : 0);
    return upper;
}

// Chain 1's effect rows to chain c's (0 or 1): the effect panels address chain 2 through chain 1's indices.
constexpr int foldEffectIndex(int chain, int index) {
    if (index >= 48 && index <= 91) return index + 22 * chain;
    if (index >= 249 && index <= 438) return index + 95 * chain;
    return index;
}

// The kernel part of a layer (1 Upper, 2 Lower).
constexpr int partOfLayer(int layer) { return layer + 1; }

} // namespace corvex::ParameterIndex
