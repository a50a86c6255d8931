// The editor base with the layer switch.
#include "editor/LayerFoldingEditor.h"

#include <algorithm>
#include <cmath>

#include "instrument/CorvanAudioFilter.h"
#include "instrument/params/ParameterIndex.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/MorvanePreset.h"

namespace corvex {

namespace P = ParameterIndex;

LayerFoldingEditor::LayerFoldingEditor(CorvanAudioFilter* instrument, const MorvaneFindFolder& folder)
    : MorvaneAudioFilterEditor(instrument, folder), corvan_(instrument) {}

int LayerFoldingEditor::foldedIndex(int index, int layer) { return P::isValid(index) ? P::unfold(index, layer) : index; }

int LayerFoldingEditor::shownIndexOfEcho(int index, int layer) {
    const int owner = P::layerOf(index);
    if (owner < 0) return index;
    return owner == layer ? P::foldToUpper(index) : -1;
}

int LayerFoldingEditor::layerOfValue(float value) {
    if (!std::isfinite(value)) return 0;
    return std::clamp(static_cast<int>(value * 2.0f), 0, 1);
}

void LayerFoldingEditor::setEditedLayer(float value) {
    const int layer = layerOfValue(value);
    if (layer == shownLayer_.load()) return;
    shownLayer_.store(layer);
    refreshLayerParameters(layer);
}

void LayerFoldingEditor::notifyParameterEdit(int kind, int index, float value) {
    if (index == P::kShownLayer) {
        if (kind == kNewValue) setEditedLayer(value);
        return;
    }
    MorvaneAudioFilterEditor::notifyParameterEdit(kind, foldedIndex(index, shownLayer_.load()), value);
    if (kind == kNewValue) markEdited(index);
}

float LayerFoldingEditor::getParameter(int index) {
    if (index == P::kShownLayer) return static_cast<float>(shownLayer_.load());
    return MorvaneAudioFilterEditor::getParameter(foldedIndex(index, shownLayer_.load()));
}

// A highlight travels as its index plus the messenger's offset and folds like a value. A row told to read itself
// again (-1) keeps that mark here: the messenger reads the row when it delivers the echo, on the message thread.
void LayerFoldingEditor::parameterChanged(int index, float value) {
    constexpr int highlight = MVParameterMessenger::kHighlightOffset;
    if (index >= highlight) {
        const int shown = shownIndexOfEcho(index - highlight, shownLayer_.load());
        if (shown >= 0) MorvaneAudioFilterEditor::parameterChanged(shown + highlight, value);
        return;
    }
    const int shown = shownIndexOfEcho(index, shownLayer_.load());
    if (shown < 0) return;
    MorvaneAudioFilterEditor::parameterChanged(shown, value);
}

juce::String LayerFoldingEditor::getParameterText(int index) {
    return MorvaneAudioFilterEditor::getParameterText(foldedIndex(index, shownLayer_.load()));
}

bool LayerFoldingEditor::refreshParameter(int index) {
    return MorvaneAudioFilterEditor::refreshParameter(foldedIndex(index, shownLayer_.load()));
}

void LayerFoldingEditor::showMidiSettings(int index, juce::Component* at) {
    MorvaneAudioFilterEditor::showMidiSettings(foldedIndex(index, shownLayer_.load()), at);
}

// The widgets hear the new values at once, before anything else can move them.
void LayerFoldingEditor::refreshLayerParameters(int layer) {
    if (layer != shownLayer_.load()) return;
    MVParameterMessenger& messenger = getMessenger();
    messenger.dispatchParameterChanged(P::kShownLayer, static_cast<float>(layer));
    for (const P::LayerBlock& block : P::kLayerBlocks)
        for (int index = block.firstUpper; index <= block.lastUpper; ++index)
            messenger.dispatchParameterChanged(index, getParameter(index));
}

void LayerFoldingEditor::refreshGlobalParameters() {
    MVParameterMessenger& messenger = getMessenger();
    for (int index = 0; index < P::kCount; ++index)
        if (P::layerOf(index) < 0) messenger.dispatchParameterChanged(index, getParameter(index));
}

// An edit makes the preset it changed show as modified: the shown layer's program, or the patch for a global
// row. Editor ids change no preset.
void LayerFoldingEditor::markEdited(int index) {
    if (corvan_ == nullptr || !P::isValid(index)) return;
    const int layer = P::layerOf(index);
    MorvanePresetFilterManager* manager = layer < 0 ? corvan_->getPatchFilterManager()
                                                    : corvan_->getProgramFilterManager(shownLayer_.load() == 1);
    if (manager == nullptr) return;
    MorvanePreset* preset = manager->getCurrentPreset();
    if (preset != nullptr && !preset->isModified()) manager->setPresetModified(preset, true, true);
}

} // namespace corvex
