// One listener's registrations for several parameter indices at once, each undone safely when the set goes.
#pragma once

#include <memory>
#include <vector>

#include "widgets/MVParameterBinding.h"

namespace corvex {

// Message thread only.
class ParameterBindingSet {
public:
    ParameterBindingSet(MVGuiInterface* gui, MVParameterListener* listener) : gui_(gui), listener_(listener) {}

    void bind(int index) {
        bindings_.push_back(std::make_unique<MVParameterBinding>(gui_, listener_));
        bindings_.back()->bind(index);
    }
    void bindRange(int first, int count) {
        for (int i = 0; i < count; ++i) bind(first + i);
    }
    void unbindAll() { bindings_.clear(); }

private:
    MVGuiInterface* const gui_;
    MVParameterListener* const listener_;
    std::vector<std::unique_ptr<MVParameterBinding>> bindings_;
};

} // namespace corvex
