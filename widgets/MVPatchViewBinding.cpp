// The patches bound to an editor's key-mode and shown-layer indices.
#include "widgets/MVPatchViewBinding.h"

#include "instrument/params/ParameterIndex.h"

namespace corvex {

MVPatchViewBinding::MVPatchViewBinding(MVGuiInterface& gui, PatchViewListener& patches)
    : gui_(gui), patches_(patches) {
    gui_.addParameterListener(ParameterIndex::kKeyMode, this);
    gui_.addParameterListener(ParameterIndex::kShownLayer, this);
    patches_.setLayerSwitch(this);
}

MVPatchViewBinding::~MVPatchViewBinding() {
    patches_.setLayerSwitch(nullptr);
    gui_.removeParameterListener(ParameterIndex::kKeyMode, this);
    gui_.removeParameterListener(ParameterIndex::kShownLayer, this);
}

void MVPatchViewBinding::parameterChanged(int index, float value) {
    if (index == ParameterIndex::kKeyMode)
        patches_.keyModeChanged(value);
    else if (index == ParameterIndex::kShownLayer)
        patches_.shownLayerChanged(value);
}

void MVPatchViewBinding::showLayer(int layer) {
    gui_.notifyParameterEdit(MVGuiInterface::kNewValue, ParameterIndex::kShownLayer, static_cast<float>(layer) * 0.5f);
}

} // namespace corvex
