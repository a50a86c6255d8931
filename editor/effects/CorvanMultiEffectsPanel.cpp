#include "editor/effects/CorvanMultiEffectsPanel.h"

#include "editor/effects/CorvanAnalogChorusFlangerPanel.h"
#include "editor/effects/CorvanAnalogDelayPanel.h"
#include "editor/effects/CorvanAnalogFxReverbPanel.h"
#include "editor/effects/CorvanAnalogPhaserPanel.h"
#include "editor/effects/EffectTypeSelector.h"
#include "instrument/params/ParameterIndex.h"

namespace corvex {

namespace P = ParameterIndex;

namespace {
int slotOf(int effectNumber) { return effectNumber == 1 ? 1 : 0; }
} // namespace

CorvanMultiEffectsPanel::CorvanMultiEffectsPanel(MVGuiInterface* gui, const juce::StringArray& typeNames,
                                                 int effectNumber)
    : EffectFrame(gui, typeNames, effecttypes::masterEffectNames(), slotOf(effectNumber),
                  P::kMasterEffectType[slotOf(effectNumber)]) {
    const int n = number();
    addEditor(1, std::make_unique<CorvanAnalogChorusFlangerPanel>(gui, n));
    addEditor(2, std::make_unique<CorvanAnalogDelayPanel>(gui, n));
    addEditor(4, std::make_unique<CorvanAnalogPhaserPanel>(gui, n));
    addEditor(3, std::make_unique<CorvanAnalogFxReverbPanel>(gui, n));
    start();
}

} // namespace corvex
