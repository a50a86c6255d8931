// The editors the insert-chain frame shows, one per insert effect type.
#pragma once

#include <memory>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"

namespace corvex {

// type 1..5 (chorus/flanger, distortion, parametric EQ, phaser, ring modulator) of chain 0 or 1; null for any
// other type.
std::unique_ptr<MVPanel> makeInsertEffectEditor(int type /* 1..5 */, MVGuiInterface* gui, int chain);

} // namespace corvex
