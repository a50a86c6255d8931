// The factory patches, grouped in three projects: a live keyboard set, a club set and a film-scoring set.
// Each names its programs by their names in the program table; the generator turns them into identifiers.
// The pitch wheel bends 2 semitones in all of them; a master effect gives each its room. The volume brings
// each patch, with its effects and its second layer, to the level of the programs.
#include "tools/factorybank/FactorySounds.h"

namespace corvex::factory {

const std::vector<PatchSound>& patchSounds() {
    static const std::vector<PatchSound> patches{
        // ---- Whole ----
        {2001, "Acid Line", "Club", "Whole", "Acid Squelch", nullptr,
         {{"VCOBndAm", 0.1f}, {"Volume", 0.66f}, {"FX1979", kStereoDelay}, {"FX1DW", 0.25f}}},
        {2002, "Big Saw Lead", "Stage", "Whole", "Saw Lead", nullptr,
         {{"VCOBndAm", 0.1f}, {"Volume", 0.652f}, {"FX1979", kStereoDelay}, {"FX1DW", 0.3f},
          {"FX2979", kStereoReverb}}},
        {2003, "Warm Pad Hall", "Cinema", "Whole", "Warm Pad", nullptr,
         {{"VCOBndAm", 0.1f}, {"Volume", 0.43f}, {"FX1979", kStereoReverb}, {"FX1DW", 0.35f}}},
        {2004, "Drawbar Organ", "Stage", "Whole", "Drawbar Organ", nullptr,
         {{"VCOBndAm", 0.1f}, {"Volume", 0.467f}, {"FX1979", kStereoChorus}}},
        {2005, "FM Bells", "Cinema", "Whole", "FM Bell", nullptr,
         {{"VCOBndAm", 0.1f}, {"Volume", 0.548f}, {"FX1979", kStereoReverb}, {"FX1DW", 0.3f}}},
        {2006, "Step Pattern", "Club", "Whole", "Pitch Sequence", nullptr,
         {{"VCOBndAm", 0.1f}, {"Volume", 0.69f}, {"FX1979", kStereoDelay}, {"FX1DW", 0.3f}}},
        // ---- Split: the Lower program below the split key, the Upper one from it up ----
        {2007, "Bass & Piano", "Stage", "Split", "Synth Piano", "Fat Saw Bass",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.568f}, {"SplitKey", splitAt(60)}, {"FX1979", kStereoReverb}}},
        {2008, "Bass & Lead", "Club", "Split", "Saw Lead", "Rubber Bass",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.731f}, {"SplitKey", splitAt(55)}, {"FX1979", kStereoDelay},
          {"FX1DW", 0.2f}}},
        {2009, "Sub & Organ", "Stage", "Split", "Drawbar Organ", "Deep Sub",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.467f}, {"SplitKey", splitAt(48)}, {"FX1979", kStereoChorus}}},
        {2010, "Strings over Bass", "Cinema", "Split", "String Ensemble", "Pluck Bass",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.756f}, {"SplitKey", splitAt(57)}, {"FX1979", kStereoReverb},
          {"FX1DW", 0.3f}}},
        {2011, "Drums & Lead", "Club", "Split", "Square Lead", "Kick Drum",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.615f}, {"SplitKey", splitAt(48)}, {"FX1979", kStereoDelay},
          {"FX1DW", 0.2f}}},
        // ---- Dual: both programs on every key ----
        {2012, "Brass & Strings", "Cinema", "Dual", "Soft Brass", "String Ensemble",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.334f}, {"FX1979", kStereoReverb}, {"FX1DW", 0.3f}}},
        {2013, "Piano Pad", "Stage", "Dual", "Electric Piano", "Warm Pad",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.541f}, {"Balance", 0.6f}, {"FX1979", kStereoReverb}}},
        {2014, "Glass Choir", "Cinema", "Dual", "FM Glass", "Glass Pad",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.231f}, {"FX1979", kStereoReverb}, {"FX1DW", 0.4f}}},
        {2015, "Thick Lead", "Stage", "Dual", "Saw Lead", "Sync Lead",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.396f}, {"FX1979", kStereoDelay}, {"FX1DW", 0.25f}}},
        {2016, "Sequence Drone", "Club", "Dual", "Filter Sequence", "Dark Drone",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.42f}, {"FX1979", kStereoPhaser}, {"FX2979", kStereoReverb}}},
        {2017, "Bell Pad", "Cinema", "Dual", "FM Bell", "Sweep Pad",
         {{"VCOBndAm", 0.1f}, {"Volume", 0.361f}, {"Balance", 0.45f}, {"FX1979", kStereoReverb}, {"FX1DW", 0.35f}}},
    };
    return patches;
}

} // namespace corvex::factory
