// A listener's registration for one parameter index with the GUI interface, held by the listener as a member: it
// is undone when the member goes, and a GUI interface that went first is never called again.
#pragma once

#include <juce_core/juce_core.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class MVParameterBinding {
public:
    // Registers nothing yet: a widget binds once it can take an echo.
    MVParameterBinding(MVGuiInterface* gui, MVParameterListener* listener) : gui_(gui), listener_(listener) {}
    ~MVParameterBinding() { unbind(); }
    MVParameterBinding(const MVParameterBinding&) = delete;
    MVParameterBinding& operator=(const MVParameterBinding&) = delete;

    // Listens to the index in place of any earlier one.
    void bind(int index) {
        unbind();
        if (MVGuiInterface* gui = gui_.get()) {
            gui->addParameterListener(index, listener_);
            index_ = index;
            bound_ = true;
        }
    }

    void unbind() {
        if (!bound_) return;
        bound_ = false;
        if (MVGuiInterface* gui = gui_.get()) gui->removeParameterListener(index_, listener_);
    }

private:
    juce::WeakReference<MVGuiInterface> gui_;
    MVParameterListener* const listener_;
    int index_ = 0;
    bool bound_ = false;
};

} // namespace corvex
