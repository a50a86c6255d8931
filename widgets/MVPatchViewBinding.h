// Ties the patches to an editor: they hear its echoes of the key mode and of the shown layer, and their wish
// to show a layer becomes an edit of the shown layer, as a widget's would be.
#pragma once

#include "instrument/PatchView.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only. The GUI interface and the patches must outlive the binding; the patches lose their
// layer switch when it goes.
class MVPatchViewBinding : public MVParameterListener, public LayerSwitch {
public:
    MVPatchViewBinding(MVGuiInterface& gui, PatchViewListener& patches);
    ~MVPatchViewBinding() override;
    MVPatchViewBinding(const MVPatchViewBinding&) = delete;
    MVPatchViewBinding& operator=(const MVPatchViewBinding&) = delete;

    void parameterChanged(int index, float value) override;
    void highlightChanged(int /*index*/, float /*state*/) override {}
    void showLayer(int layer) override;

private:
    MVGuiInterface& gui_;
    PatchViewListener& patches_;
};

} // namespace corvex
