#include "instrument/params/MasterEffectMappers.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "engine/modules/ModuleSlots.h"
#include "engine/program/CorvanKernelProgram.h"
#include "engine/program/ModuleBlocks.h"
#include "instrument/params/ParameterMapping.h"

namespace corvex {

namespace {

constexpr int kGlobalSection = 0;
constexpr int kDryWetRow = 189;
constexpr int kNoParameter = -1;
// What a row's cached value becomes when the row's meaning changed: the editor reads it again.
constexpr float kMeaningChanged = -1.0f;

// The second slot's rows lie 11 after the first's in the first global block and 15 after them in the third.
constexpr int kFirstBlockOffset = 11, kThirdBlockOffset = 15;

constexpr FxParameter kChorusRows[] = {
    {189, "Chorus Dry/Wet", {17, kNoParameter}, 0, true, true},
    {190, "Chorus Depth", {10, kNoParameter}, 0, true, true},
    {191, "Chorus Rate", {9, kNoParameter}, 0, false, true},
    {192, "Chorus Delay Time", {8, kNoParameter}, 0, false, true},
    {193, "Chorus Feedback", {12, kNoParameter}, 0, true, true},
    {194, "Chorus Spread", {13, kNoParameter}, 0, true, true},
    {199, "Chorus Output", {18, kNoParameter}, 0, false, true},
    {986, "Chorus Bypass", {19, kNoParameter}, 2, false, true},
    {987, "Chorus Midi Sync", {16, kNoParameter}, 2, false, true},
};

// "Don1", "Don2" and "Ddisp" have no kernel parameter: their values live in the table's cache only.
constexpr FxParameter kDelayRows[] = {
    {189, "Delay Dry/Wet", {17, kNoParameter}, 0, true, true},
    {190, "Delay Time 1", {7, kNoParameter}, 0, false, true},
    {191, "Delay Feedback 1", {9, kNoParameter}, 0, true, true},
    {192, "Delay Cross Feedback 1", {11, kNoParameter}, 0, true, true},
    {193, "Delay Time 2", {8, kNoParameter}, 0, false, true},
    {194, "Delay Feedback 2", {10, kNoParameter}, 0, true, true},
    {195, "Delay Cross Feedback 2", {12, kNoParameter}, 0, true, true},
    {196, "Delay Damping", {14, kNoParameter}, 0, false, true},
    {197, "Delay ?? ", {kNoParameter, kNoParameter}, 0, true, false},
    {199, "Delay Output", {19, kNoParameter}, 0, false, true},
    {980, "Delay Bypass", {20, kNoParameter}, 2, false, true},
    {983, "Delay Sync", {18, kNoParameter}, 2, false, true},
    {984, "", {16, kNoParameter}, 2, true, false},
};

// Size and high damping drive both channels' parameters with one word; the first channel's is read back.
constexpr FxParameter kReverbRows[] = {
    {189, "Reverb Dry/Wet", {13, kNoParameter}, 0, true, true},
    {190, "Reverb Size", {7, 8}, 0, true, true},
    {191, "Reverb High Damping", {9, 10}, 0, false, true},
    {192, "Reverb Pre-Delay", {12, kNoParameter}, 0, false, true},
    {193, "Reverb Low Damping", {11, kNoParameter}, 0, false, true},
    {199, "Reverb Output", {15, kNoParameter}, 0, false, true},
    {993, "Reverb Bypass", {16, kNoParameter}, 2, false, true},
};

constexpr FxParameter kPhaserRows[] = {
    {189, "Phaser Dry/Wet", {25, kNoParameter}, 0, true, true},
    {190, "Phaser Rate 1", {12, kNoParameter}, 0, false, true},
    {191, "Phaser Depth 1", {10, kNoParameter}, 0, true, true},
    {192, "Phaser Feedback 1", {8, kNoParameter}, 0, true, true},
    {193, "Phaser Rate 2", {17, kNoParameter}, 0, false, true},
    {194, "Phaser Depth 2", {15, kNoParameter}, 0, true, true},
    {195, "Phaser Feedback 2", {13, kNoParameter}, 0, true, true},
    {199, "Phaser Output", {28, kNoParameter}, 0, false, true},
    {988, "Phaser ", {29, kNoParameter}, 2, false, true}, // bypass
    {989, "Phaser ", {11, kNoParameter}, 4, false, true}, // shape 1
    {990, "Phaser ", {16, kNoParameter}, 4, false, true}, // shape 2
    {991, "Phaser Link", {22, kNoParameter}, 2, false, true},
    {992, "Phaser Midi Sync", {20, kNoParameter}, 2, false, true},
};

// A parameter's word must lie in the hosted block past its four header words: the slot's own words
// (the selector and its companions at 7..9, which the multi stream keeps) are never a parameter's.
template <size_t N>
constexpr bool parametersInsideHostedBlock(const FxParameter (&rows)[N]) {
    for (const FxParameter& r : rows)
        for (int p : r.parameters)
            if (p != kNoParameter && (p < 4 || kEffectInnerAt + p >= kEffectSlotWords)) return false;
    return true;
}
static_assert(parametersInsideHostedBlock(kChorusRows) && parametersInsideHostedBlock(kDelayRows) &&
                  parametersInsideHostedBlock(kReverbRows) && parametersInsideHostedBlock(kPhaserRows),
              "an effect parameter lies outside its hosted block");

struct KeySuffix {
    int row;
    const char* suffix;
};
constexpr KeySuffix kKeySuffixes[] = {
    {189, "DW"},     {190, "P1"},     {191, "P2"},    {192, "P3"},    {193, "P4"},    {194, "P5"},
    {195, "P6"},     {196, "P7"},     {197, "P8"},    {198, "P9"},    {199, "Out"},   {980, "Dbp"},
    {981, "Don1"},   {982, "Don2"},   {983, "Dsync"}, {984, "Dlink"}, {985, "Ddisp"}, {986, "Fbp"},
    {987, "Fsync"},  {988, "Pbp"},    {989, "Pshp1"}, {990, "Pshp2"}, {991, "Plink"}, {992, "Psync"},
    {993, "Rbp"},
};

int moduleSlotOf(int effectSlot) { return SlotIndex::FirstEffect + (effectSlot == 1 ? 1 : 0); }

} // namespace

// ---- FxMapper ----

int FxMapper::foldIndex(int index) {
    if (index >= 200 && index <= 210) return index - kFirstBlockOffset;
    if (index >= 994 && index <= 1008) return index - kThirdBlockOffset;
    return index;
}

int FxMapper::unfoldIndex(int row, int effectSlot) {
    if (effectSlot != 1) return row;
    if (row >= 189 && row <= 199) return row + kFirstBlockOffset;
    if (row >= 979 && row <= 993) return row + kThirdBlockOffset;
    return row;
}

FxMapper::FxMapper(CorvanKernelProgram& program, int effectSlot, const FxParameter* parameters, int count)
    : ParameterMapper(std::string(), std::string(), true), program_(program), moduleSlot_(moduleSlotOf(effectSlot)),
      parameters_(parameters), count_(count) {}

const FxParameter* FxMapper::find(int index) const {
    const int row = foldIndex(index);
    for (int i = 0; i < count_; ++i)
        if (parameters_[i].row == row) return &parameters_[i];
    return nullptr;
}

// The hosted effect's parameter p is word p + 10 of the slot, but the kernel's slot hands parameter
// numbers to the hosted effect as they come.
void FxMapper::store(int parameter, uint16_t word) {
    program_.setParameterWordAs(kGlobalSection, moduleSlot_, kEffectInnerAt + parameter, parameter, word);
}

int FxMapper::read(int parameter) const {
    return static_cast<uint16_t>(program_.getParameterWord(kGlobalSection, moduleSlot_, kEffectInnerAt + parameter));
}

void FxMapper::setValue(int index, float value) {
    const FxParameter* row = find(index);
    if (row == nullptr || !std::isfinite(value)) return;
    const uint16_t word = row->steps > 0
                              ? static_cast<uint16_t>(ParameterMapping::quantise(row->steps, value))
                              : static_cast<uint16_t>(std::clamp(value, 0.0f, 1.0f) * 16384.0f);
    for (int p : row->parameters)
        if (p != kNoParameter) store(p, word);
}

float FxMapper::getValue(int index) {
    const FxParameter* row = find(index);
    if (row == nullptr || !row->readable || row->parameters[0] == kNoParameter) return kUseCachedValue;
    const int word = read(row->parameters[0]);
    if (row->steps > 0) return ParameterMapping::stepToValue(word, row->steps);
    return static_cast<float>(word) / 16384.0f;
}

std::string FxMapper::getLongName(int index) const {
    const FxParameter* row = find(index);
    return row != nullptr ? row->longName : longName_;
}

bool FxMapper::isDiscrete(int index) const {
    const FxParameter* row = find(index);
    return row != nullptr ? row->discrete : discrete_;
}

std::string FxMapper::getText(int index, float value) const {
    if (find(index) != nullptr && foldIndex(index) == kDryWetRow) return formatText("%.1f%%", value * 100.0f);
    return ParameterMapper::getText(index, value);
}

FxBypassMapper::FxBypassMapper(CorvanKernelProgram& program, int effectSlot)
    : FxMapper(program, effectSlot, nullptr, 0) {}

FxChorusMapper::FxChorusMapper(CorvanKernelProgram& program, int effectSlot)
    : FxMapper(program, effectSlot, kChorusRows, static_cast<int>(std::size(kChorusRows))) {}

FxDelayMapper::FxDelayMapper(CorvanKernelProgram& program, int effectSlot)
    : FxMapper(program, effectSlot, kDelayRows, static_cast<int>(std::size(kDelayRows))) {}

FxReverbMapper::FxReverbMapper(CorvanKernelProgram& program, int effectSlot)
    : FxMapper(program, effectSlot, kReverbRows, static_cast<int>(std::size(kReverbRows))) {}

FxPhaserMapper::FxPhaserMapper(CorvanKernelProgram& program, int effectSlot)
    : FxMapper(program, effectSlot, kPhaserRows, static_cast<int>(std::size(kPhaserRows))) {}

// ---- FxSelectorMapper ----

FxSelectorMapper::FxSelectorMapper(ParameterMapping& table, CorvanKernelProgram& program, int effectSlot)
    : ParameterMapper(std::string(), std::string(), true), table_(table), program_(program),
      effectSlot_(effectSlot == 1 ? 1 : 0) {
    effects_[Bypass] = std::make_unique<FxBypassMapper>(program, effectSlot_);
    effects_[Chorus] = std::make_unique<FxChorusMapper>(program, effectSlot_);
    effects_[Delay] = std::make_unique<FxDelayMapper>(program, effectSlot_);
    effects_[Reverb] = std::make_unique<FxReverbMapper>(program, effectSlot_);
    effects_[Phaser] = std::make_unique<FxPhaserMapper>(program, effectSlot_);
}

int FxSelectorMapper::choice() const {
    return std::clamp(program_.getEffectType(effectSlot_), 0, static_cast<int>(ChoiceCount) - 1);
}

void FxSelectorMapper::setValue(int index, float value) {
    if (!std::isfinite(value)) return;
    if (FxMapper::foldIndex(index) == kChoiceRow) {
        const int chosen = ParameterMapping::quantise(ChoiceCount, value);
        if (choice() != chosen) {
            program_.setEffectType(effectSlot_, chosen);
            announceNewMeanings();
        }
    }
    current().setValue(index, value);
}

// The slot's parameter rows now mean the new effect's parameters at their defaults: the listeners re-read
// them. The choice row itself changed through the caller.
void FxSelectorMapper::announceNewMeanings() {
    for (int row = kFirstParameterRow; row <= kLastParameterRow; ++row)
        table_.setValue(FxMapper::unfoldIndex(row, effectSlot_), kMeaningChanged);
    for (int row = kFirstExtraRow; row <= kLastExtraRow; ++row)
        table_.setValue(FxMapper::unfoldIndex(row, effectSlot_), kMeaningChanged);
}

float FxSelectorMapper::getValue(int index) {
    if (FxMapper::foldIndex(index) != kChoiceRow) return current().getValue(index);
    return static_cast<float>(choice()) / ChoiceCount + 0.1f;
}

std::string FxSelectorMapper::getName(int index) const {
    const int row = FxMapper::foldIndex(index);
    const std::string prefix = effectSlot_ == 0 ? "FX1" : "FX2";
    for (const KeySuffix& k : kKeySuffixes)
        if (k.row == row) return prefix + k.suffix;
    return prefix + formatText("%3d", row);
}

std::string FxSelectorMapper::getLongName(int index) const {
    return current().getLongName(index);
}

bool FxSelectorMapper::isDiscrete(int index) const {
    return current().isDiscrete(index);
}

std::string FxSelectorMapper::getText(int index, float value) const {
    return current().getText(index, value);
}

} // namespace corvex
