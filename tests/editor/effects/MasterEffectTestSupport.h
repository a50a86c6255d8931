// Reaching the parameter-bound widgets of an effect editor in the order it made them, and checking that each
// shows a value as a parameter's echo would set it.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "editor/effects/EffectTypeSelector.h"
#include "widgets/CvnLcdButton.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/MVParameterSlider.h"

namespace corvex::testing {

struct BoundWidget {
    char kind;  // 'K' knob, 'B' button, 'C' choice box
    int index;
    juce::Component* widget;
};

inline std::vector<BoundWidget> boundWidgetsOf(juce::Component& editor) {
    std::vector<BoundWidget> found;
    for (juce::Component* child : editor.getChildren()) {
        if (auto* knob = dynamic_cast<MVParameterSlider*>(child))
            found.push_back({'K', knob->getParameterIndex(), child});
        else if (auto* button = dynamic_cast<CvnLcdButton*>(child))
            found.push_back({'B', button->getParameterIndex(), child});
        else if (auto* box = dynamic_cast<CvnLcdComboBox*>(child))
            found.push_back({'C', box->getParameterIndex(), child});
    }
    return found;
}

// A knob shows the value itself (within its range), a button is on above 0.6, a box shows the value's step.
inline ::testing::AssertionResult showsValue(const BoundWidget& w, float value) {
    const auto fail = [&](const juce::String& shown) {
        return ::testing::AssertionFailure() << w.kind << " of " << w.index << " shows " << shown << " for "
                                             << value;
    };
    switch (w.kind) {
    case 'K': {
        const double shown = dynamic_cast<juce::Slider*>(w.widget)->getValue();
        if (std::abs(shown - std::clamp(static_cast<double>(value), 0.0, 1.0)) > 1e-3) return fail(juce::String(shown));
        break;
    }
    case 'B': {
        const bool on = dynamic_cast<juce::Button*>(w.widget)->getToggleState();
        if (on != (value > CvnLcdButton::kEchoThreshold)) return fail(on ? "on" : "off");
        break;
    }
    default: {
        auto* box = dynamic_cast<CvnLcdComboBox*>(w.widget);
        if (box->getSelectedId() != effecttypes::typeOfValue(value, box->getNumSteps()) + 1)
            return fail("id " + juce::String(box->getSelectedId()));
    }
    }
    return ::testing::AssertionSuccess();
}

} // namespace corvex::testing
