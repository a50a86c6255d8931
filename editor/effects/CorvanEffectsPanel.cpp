#include "editor/effects/CorvanEffectsPanel.h"

#include "editor/effects/EffectTypeSelector.h"
#include "editor/effects/InsertEffectEditors.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace P = ParameterIndex;

namespace {
int chainOf(int chain) { return chain == 1 ? 1 : 0; }
} // namespace

CorvanEffectsPanel::CorvanEffectsPanel(MVGuiInterface* gui, const juce::StringArray& typeNames, int chain)
    : EffectFrame(gui, typeNames, effecttypes::insertEffectNames(), chainOf(chain),
                  P::kInsertEffectType[chainOf(chain)]) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    for (int type = 1; type < effecttypes::kInsertTypeCount; ++type)
        addEditor(type, makeInsertEffectEditor(type, gui, number()));
    start();
}

CorvanEffectsPanel::~CorvanEffectsPanel() { setLookAndFeel(nullptr); }

} // namespace corvex
