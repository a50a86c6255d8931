#include "editor/effects/InsertEffectEditors.h"

#include "editor/effects/CorvanChorusFlangerPanel.h"
#include "editor/effects/CorvanDistortionPanel.h"
#include "editor/effects/CorvanParamEqPanel.h"
#include "editor/effects/CorvanPhaserPanel.h"
#include "editor/effects/CorvanRingModPanel.h"

namespace corvex {

std::unique_ptr<MVPanel> makeInsertEffectEditor(int type, MVGuiInterface* gui, int chain) {
    switch (type) {
        case 1: return std::make_unique<CorvanChorusFlangerPanel>(gui, chain);
        case 2: return std::make_unique<CorvanDistortionPanel>(gui, chain);
        case 3: return std::make_unique<CorvanParamEqPanel>(gui, chain);
        case 4: return std::make_unique<CorvanPhaserPanel>(gui, chain);
        case 5: return std::make_unique<CorvanRingModPanel>(gui, chain);
        default: return nullptr;
    }
}

} // namespace corvex
