#include "editor/effects/InsertEffectEditors.h"

namespace corvex {

// Until the insert editors exist, each type shows an empty panel.
std::unique_ptr<MVPanel> makeInsertEffectEditor(int type, MVGuiInterface*, int) {
    if (type < 1 || type > 5) return nullptr;
    return std::make_unique<MVPanel>();
}

} // namespace corvex
