// Reaching a panel's children the way a test names them: by type and component name, or a button by its text.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex::testing {

// The first descendant of root of type T with that component name; nullptr when there is none.
template <typename T>
T* findNamed(juce::Component& root, const juce::String& name) {
    for (auto* child : root.getChildren()) {
        if (auto* found = dynamic_cast<T*>(child); found != nullptr && child->getName() == name)
            return found;
        if (auto* found = findNamed<T>(*child, name))
            return found;
    }
    return nullptr;
}

// The first descendant of root of type T.
template <typename T>
T* findFirst(juce::Component& root) {
    for (auto* child : root.getChildren()) {
        if (auto* found = dynamic_cast<T*>(child))
            return found;
        if (auto* found = findFirst<T>(*child))
            return found;
    }
    return nullptr;
}

// A button among root's descendants by its text; nullptr when there is none.
inline juce::Button* findButton(juce::Component& root, const juce::String& text) {
    for (auto* child : root.getChildren()) {
        if (auto* button = dynamic_cast<juce::Button*>(child); button != nullptr && button->getButtonText() == text)
            return button;
        if (auto* found = findButton(*child, text))
            return found;
    }
    return nullptr;
}

} // namespace corvex::testing

namespace corvex {
using testing::findButton;
} // namespace corvex
