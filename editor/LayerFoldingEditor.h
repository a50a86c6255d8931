// The editor base with the layer switch: every layer widget is bound to an Upper index, and this editor turns
// it into the index of the layer shown (id 1016) on the way out and back, so one set of widgets edits either
// layer. Echoes of the layer not shown are dropped, so they never move a widget.
#pragma once

#include <atomic>

#include "widgets/MorvaneAudioFilterEditor.h"

namespace corvex {

class CorvanAudioFilter;

// Message thread only, but for parameterChanged, which the instrument may call from elsewhere.
class LayerFoldingEditor : public MorvaneAudioFilterEditor {
public:
    explicit LayerFoldingEditor(CorvanAudioFilter* instrument,
                                const MorvaneFindFolder& folder = MorvaneFindFolder::getInstance());

    // The index a widget bound to `index` edits while `layer` is shown.
    static int foldedIndex(int index, int layer);
    // The index whose widgets hear an echo of `index` while `layer` is shown; -1 when they must not hear it.
    static int shownIndexOfEcho(int index, int layer);
    // trunc(value x 2), limited to the two layers.
    static int layerOfValue(float value);

    int getShownLayer() const { return shownLayer_.load(); }
    // Shows the layer and has every layer widget read its value there.
    void setEditedLayer(float value);

    void notifyParameterEdit(int kind, int index, float value) override;
    float getParameter(int index) override;
    void parameterChanged(int index, float value) override;
    juce::String getParameterText(int index) override;
    bool refreshParameter(int index) override;
    void showMidiSettings(int index, juce::Component* at) override;

    void refreshLayerParameters(int layer) override;
    void refreshGlobalParameters() override;

private:
    void markEdited(int index);

    CorvanAudioFilter* const corvan_;
    std::atomic<int> shownLayer_{0};
};

} // namespace corvex
