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

// The master-effect slots' rows in the first slot's numbering; what a row means follows the slot's type.
// The second slot's rows lie 11 further in the first block and 15 further in the second.
constexpr int kMasterFxFirstRow = 189, kMasterFxLastRow = 199;
constexpr int kMasterFxFirstSwitch = 980, kMasterFxLastSwitch = 993;
constexpr int kMasterFxDryWet = 189;
constexpr int kMasterFxOutput = 199;
constexpr int kMasterFxChorusDepth = 190, kMasterFxChorusRate = 191, kMasterFxChorusDelayTime = 192,
              kMasterFxChorusFeedback = 193, kMasterFxChorusSpread = 194;
// Each delay line's time, feedback and cross feedback; line 2's follow line 1's.
constexpr int kMasterFxDelayTime1 = 190, kMasterFxDelayFeedback1 = 191, kMasterFxDelayCrossFeedback1 = 192,
              kMasterFxDelayTime2 = 193, kMasterFxDelayFeedback2 = 194, kMasterFxDelayCrossFeedback2 = 195,
              kMasterFxDelayDamping = 196;
constexpr int kMasterFxReverbSize = 190, kMasterFxReverbHighDamping = 191, kMasterFxReverbPreDelay = 192,
              kMasterFxReverbLowDamping = 193;
constexpr int kMasterFxPhaserRate1 = 190, kMasterFxPhaserDepth1 = 191, kMasterFxPhaserFeedback1 = 192,
              kMasterFxPhaserRate2 = 193, kMasterFxPhaserDepth2 = 194, kMasterFxPhaserFeedback2 = 195;
constexpr int kMasterFxDelayBypass = 980, kMasterFxDelaySync = 983, kMasterFxDelayLink = 984;
constexpr int kMasterFxChorusBypass = 986, kMasterFxChorusSync = 987;
constexpr int kMasterFxPhaserBypass = 988, kMasterFxPhaserShape1 = 989, kMasterFxPhaserShape2 = 990,
              kMasterFxPhaserLink = 991, kMasterFxPhaserSync = 992;
constexpr int kMasterFxReverbBypass = 993;

// The type of each insert chain of the Upper layer (foldEffectIndex gives chain 1's, unfold the Lower layer's);
// the rows whose meaning follows it are named in insertfx below.
constexpr int kInsertEffectType[2] = {249, 344};

// A row in the first slot's numbering to slot 0's or 1's own; any other index stays.
constexpr int masterEffectIndex(int row, int slot) {
    if (slot != 1) return row;
    if (row >= kMasterFxFirstRow && row <= kMasterFxLastRow) return row + 11;
    if (row >= kMasterEffectType[0] && row <= kMasterFxLastSwitch) return row + 15;
    return row;
}

// The second slot's rows back to the first slot's numbering; any other index stays.
constexpr int masterEffectRow(int index) {
    if (index >= masterEffectIndex(kMasterFxFirstRow, 1) && index <= masterEffectIndex(kMasterFxLastRow, 1))
        return index - 11;
    if (index >= kMasterEffectType[1] && index <= masterEffectIndex(kMasterFxLastSwitch, 1)) return index - 15;
    return index;
}

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
// The X/Y modulation source: three LFOs (shape, rate), the axis angle, and its X and Y outputs' three routes.
constexpr int kQuorbitRate = 29;
constexpr int kQuorbitAngle = 32;
constexpr int kQuorbitXAmount = 33;
constexpr int kQuorbitYAmount = 36;
constexpr int kQuorbitFreeRun = 439;
constexpr int kQuorbitSync = 440;
constexpr int kQuorbitShape = 441;
constexpr int kQuorbitXDestination = 444;
constexpr int kQuorbitYDestination = 447;
// Velocity and aftertouch: three routes each, and a response curve of start level, middle point and end level.
constexpr int kVelocityDestination = 590;
constexpr int kVelocityAmount = 593;
constexpr int kVelocityCurveY0 = 596;
constexpr int kVelocityCurveX1 = 597;
constexpr int kVelocityCurveY1 = 598;
constexpr int kVelocityCurveY2 = 599;
constexpr int kAftertouchDestination = 600;
constexpr int kAftertouchAmount = 603;
constexpr int kAftertouchCurveY0 = 606;
constexpr int kAftertouchCurveX1 = 607;
constexpr int kAftertouchCurveY1 = 608;
constexpr int kAftertouchCurveY2 = 609;

// Insert-effect rows of chain 0 of the Upper layer; foldEffectIndex gives chain 1's. Block A holds the dry/wet
// level, ten value and modulation-amount pairs and the output level; block C the type, the modulation sources,
// the switches and each effect kind's bypass.
namespace insertfx {
constexpr int kType = 249;
constexpr int kDryWet = 48;
constexpr int kFirstValue = 49;  // pair n: value 49 + 2n, amount 50 + 2n
constexpr int kFirstAmount = 50;
constexpr int kOutput = 69;
constexpr int kChorusSpread = 57;
constexpr int kDistortionQuality = 67;
constexpr int kChorusFirstSource = 260;
constexpr int kDistortionFirstSource = 280;
constexpr int kEqFirstSource = 300;
constexpr int kPhaserFirstSource = 310;
constexpr int kRingModFirstSource = 320;
constexpr int kChorusBypass = 329;
constexpr int kChorusSync = 330;
constexpr int kChorusType = 331;
constexpr int kDistortionBypass = 332;
constexpr int kEqBypass = 334;
constexpr int kEqBandSwitch[4] = {335, 336, 337, 338};
constexpr int kPhaserBypass = 339;
constexpr int kPhaserLfoShape = 340;
constexpr int kPhaserStages = 341;
constexpr int kPhaserSync = 342;
constexpr int kRingModBypass = 343;
// The equaliser's bands: low shelf, two peaks, high shelf; -1 where a band has no Q.
constexpr int kEqFrequency[4] = {49, 53, 59, 65};
constexpr int kEqGain[4] = {51, 55, 61, 67};
constexpr int kEqQ[4] = {-1, 57, 63, -1};
// Chain 1's effect rows back to chain 0's, for listeners that serve either chain; every other index stays.
constexpr int chainZeroIndex(int index) {
    if (index >= 70 && index <= 91) return index - 22;
    if (index >= 344 && index <= 438) return index - 95;
    return index;
}
} // namespace insertfx

// The step sequencer's rows (Upper form). Steps, links, glides and accents are 32 consecutive rows each.
constexpr int kSequencerStepCount = 32;
constexpr int kSequencerRate = 39;
constexpr int kSequencerAccentAttack = 40;
constexpr int kSequencerAccentDecay = 41;
constexpr int kSequencerAccentLevel = 42;
constexpr int kSequencerSmooth = 43;
constexpr int kSequencerSwing = 44;
constexpr int kSequencerFirstAmount = 45;
constexpr int kSequencerTrigger = 221;
constexpr int kSequencerFirstStep = 450;
constexpr int kSequencerFirstLink = 482;
constexpr int kSequencerFirstGlide = 514;
constexpr int kSequencerFirstAccent = 546;
constexpr int kSequencerStartMode = 578;
constexpr int kSequencerMode = 579;
constexpr int kSequencerSync = 580;
constexpr int kSequencerQuantize = 581;
constexpr int kSequencerLength = 582;
constexpr int kSequencerFirstDestination = 583;
constexpr int kSequencerFirstQuantiseSwitch = 586;
constexpr int kSequencerRetrigger = 589;

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
