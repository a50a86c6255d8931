// The product: its kernel and parameter table, the default controller map, the preset managers and the
// three state chunks.
#include "instrument/CorvanAudioFilter.h"

#include <algorithm>
#include <cstring>

#include "instrument/midi/ControllerCodes.h"
#include "instrument/params/ParameterIndex.h"
#include "instrument/state/LayerChunks.h"
#include "instrument/state/MultiChunks.h"

namespace corvex {

namespace {

struct DefaultAssignment {
    int controller;
    int index;
};

// Modulation wheel, volume, balance, both holds, both cut-offs, both resonances, bend range.
constexpr DefaultAssignment kDefaultMidiMap[] = {
    {1, ParameterIndex::kLfoTrigger},
    {7, ParameterIndex::kVolume},
    {8, ParameterIndex::kBalance},
    {64, ParameterIndex::kLowerHold},
    {64, ParameterIndex::kUpperHold},
    {74, ParameterIndex::kCutoff},
    {74, ParameterIndex::unfold(ParameterIndex::kCutoff, 1)},
    {71, ParameterIndex::kResonance},
    {71, ParameterIndex::unfold(ParameterIndex::kResonance, 1)},
    {rpnCode(0, 0), ParameterIndex::kVcoBendAmount},
};

// Module slots that report to the editor, and the editor ids their values go to (Upper, Lower).
constexpr int kLfoLampSlot = 23;
constexpr int kSequencerStepSlot = 24;
constexpr int kOrbitSlot = 25;
constexpr int kLfoLampIds[2] = {ParameterIndex::kUpperLfoLamp, ParameterIndex::kLowerLfoLamp};
constexpr int kSequencerStepIds[2] = {ParameterIndex::kUpperSequencerStep, ParameterIndex::kLowerSequencerStep};
constexpr uint32_t kSequencerSteps = 32;
constexpr int kPointsMessage = 0;

constexpr float kLcdPageZero = 0.0f / 10.0f + 0.05f;

} // namespace

CorvanAudioFilter::CorvanAudioFilter(const MorvaneFindFolder& folder, std::unique_ptr<PresetServices> presets)
    : MorvaneAudioFilter(folder),
      presets_(std::move(presets)) {
    jassert(presets_ != nullptr);
    // A caller that broke the rule still gets an instrument that plays.
    if (presets_ == nullptr) presets_ = std::make_unique<NoPresetServices>();
}

CorvanAudioFilter::~CorvanAudioFilter() {
    if (kernel_ != nullptr) saveMidiSettings();
    presets_->destroyFilterManagers();
    presets_->destroyPresetManagers();
    multiFilterManager_ = nullptr;
    table_.reset();
    program_.reset();
}

std::unique_ptr<CorvanAudioFilter> CorvanAudioFilter::createPluginFilter(const MorvaneFindFolder& folder,
                                                                         std::unique_ptr<PresetServices> presets) {
    auto filter = std::make_unique<CorvanAudioFilter>(folder, std::move(presets));
    if (!filter->initialise()) return nullptr;
    return filter;
}

std::unique_ptr<CorvanKernelProgram> CorvanAudioFilter::createKernelProgram(CorvexKernel& kernel) {
    return std::make_unique<CorvanKernelProgram>(kernel);
}

std::unique_ptr<CorvanParameters> CorvanAudioFilter::createParameterTable(CorvanKernelProgram& program) {
    return std::make_unique<CorvanParameters>(this, program);
}

bool CorvanAudioFilter::initialise() {
    lowerChunk_.bind(this);
    upperChunk_.bind(this);
    multiChunk_.bind(this);
    MorvaneAudioFilter::initialise();
    {
        const EditLock::Scope lock(editLock_);
        program_ = createKernelProgram(*kernel_);
        program_->initialise();
        table_ = createParameterTable(*program_);
        // What the initial program plays, so that a state written before any preset loads keeps it.
        table_->cacheProgramValues();
    }
    presets_->create(lowerChunk_, upperChunk_, multiChunk_, *this);
    multiFilterManager_ = presets_->multiFilterManager();
    setParameter(ParameterIndex::kLcdPage, kLcdPageZero);
    return true;
}

void CorvanAudioFilter::setDefaultMidiMap() {
    for (const DefaultAssignment& a : kDefaultMidiMap) midiManager_.assignController(a.controller, a.index);
}

void CorvanAudioFilter::presetManagerChanged(int messageId, int /*value*/, int /*value2*/,
                                             MorvanePreset* /*preset*/) {
    if (messageId == PresetServices::kPresetLoaded) onPresetLoaded();
}

void CorvanAudioFilter::kernelDataReceived(int part, int moduleSlot, int /*writerByte*/, const uint8_t* payload,
                                           uint16_t size) {
    EditorHooks* editor = getActiveEditor();
    if (editor == nullptr || payload == nullptr) return;
    const int upperOrLower = part == 1 ? 0 : 1;
    uint32_t first = 0;
    const bool hasWord = size >= sizeof first;
    if (hasWord) std::memcpy(&first, payload, sizeof first);
    switch (moduleSlot) {
    case kLfoLampSlot:
        if (hasWord) editor->parameterChanged(kLfoLampIds[upperOrLower], static_cast<float>(first) / 16384.0f);
        break;
    case kSequencerStepSlot:
        if (hasWord) {
            // Any step past the last is the last; the cap only keeps the word a valid int.
            const int step = static_cast<int>(std::min<uint32_t>(first, kSequencerSteps));
            editor->parameterChanged(kSequencerStepIds[upperOrLower],
                                     ParameterMapping::stepToValue(step, kSequencerSteps));
        }
        break;
    case kOrbitSlot:
        editor->postGuiMessage(kPointsMessage, makePointRecord(part, payload, size));
        break;
    default:
        break;
    }
}

void CorvanAudioFilter::refreshLayerParameters(int layer) {
    if (EditorHooks* editor = getActiveEditor()) editor->refreshLayerParameters(layer);
}

void CorvanAudioFilter::refreshGlobalParameters() {
    if (EditorHooks* editor = getActiveEditor()) editor->refreshGlobalParameters();
}

void CorvanAudioFilter::reportHostParameter(int index) {
    if (FilterNativeCallbacks* host = getHostCallbacks())
        host->informHostOfParameterChange(index, getParameter(index), false);
}

void CorvanAudioFilter::reselectLayerPreset(bool lower) {
    presets_->markLayerPresetModified(lower);
}

void CorvanAudioFilter::getStateInformation(juce::MemoryBlock& destination) {
    if (multiFilterManager_ == nullptr) return;
    if (EditorHooks* editor = getActiveEditor()) editor->storeLcdPageParameter();
    std::vector<uint8_t> bytes;
    writeHostState(getLcdPageValue(), *multiFilterManager_, bytes);
    destination.replaceAll(bytes.data(), bytes.size());
}

void CorvanAudioFilter::setStateInformation(const void* data, int sizeInBytes) {
    if (multiFilterManager_ == nullptr || data == nullptr || sizeInBytes <= 0) return;
    float page = getLcdPageValue();
    if (readHostState(static_cast<const uint8_t*>(data), static_cast<size_t>(sizeInBytes), page,
                      *multiFilterManager_))
        setLcdPageValue(page);
}

bool CorvanAudioFilter::PresetChunk::read(const uint8_t* data, size_t size) {
    if (filter_ == nullptr || filter_->program_ == nullptr || filter_->table_ == nullptr) return false;
    const EditLock::Scope lock(filter_->editLock_);
    if (part_ == 0) return readMultiChunk(*filter_->program_, *filter_->table_, data, size, *filter_);
    return readLayerChunk(*filter_->program_, *filter_->table_, part_, data, size, *filter_);
}

bool CorvanAudioFilter::PresetChunk::check(const uint8_t* data, size_t size) {
    if (filter_ == nullptr || filter_->program_ == nullptr) return false;
    // The program's image is read while the stream is parsed: no edit may write it meanwhile.
    const EditLock::Scope lock(filter_->editLock_);
    if (part_ == 0) return checkMultiChunk(*filter_->program_, data, size);
    return checkLayerChunk(*filter_->program_, part_, data, size);
}

void CorvanAudioFilter::PresetChunk::write(std::vector<uint8_t>& out) {
    if (filter_ == nullptr || filter_->program_ == nullptr || filter_->table_ == nullptr) return;
    const EditLock::Scope lock(filter_->editLock_);
    if (part_ == 0)
        writeMultiChunk(*filter_->program_, *filter_->table_, out);
    else
        writeLayerChunk(*filter_->program_, *filter_->table_, part_, out);
}

} // namespace corvex
