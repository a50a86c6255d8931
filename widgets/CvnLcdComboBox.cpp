// The bound combo box.
#include "widgets/CvnLcdComboBox.h"

#include <algorithm>
#include <cmath>

namespace corvex {

CvnLcdComboBox::CvnLcdComboBox(const juce::String& name, MVGuiInterface* gui, int index)
    : juce::ComboBox(name), gui_(gui), index_(index), binding_(gui, this) {}

CvnLcdComboBox::CvnLcdComboBox(const juce::String& name, MVGuiInterface* gui, int index,
                               const juce::StringArray& items)
    : CvnLcdComboBox(name, gui, index) {
    addItemList(items, 1);
    setUp(items.size());
}

CvnLcdComboBox::~CvnLcdComboBox() {
    if (!isSetUp_) return;
    binding_.unbind();
    removeListener(this);
}

void CvnLcdComboBox::setUp(int n) {
    // A second call only takes the new step count; the registrations are made once.
    numItems_ = n == -1 ? getNumItems() : n;
    if (gui_ != nullptr) selectValue(gui_->getParameter(index_));
    if (isSetUp_) return;
    binding_.bind(index_);
    addListener(this);
    isSetUp_ = true;
}

void CvnLcdComboBox::parameterChanged(int, float value) { selectValue(value); }

void CvnLcdComboBox::selectValue(float value) {
    if (numItems_ <= 0) return;
    const float scaled = std::trunc(static_cast<float>(numItems_) * value);
    const int step = scaled <= 0.0f ? 0 : static_cast<int>(std::min(scaled, static_cast<float>(numItems_ - 1)));
    setSelectedId(step + 1, juce::dontSendNotification);
}

// Clearing the selection (id 0) is no choice: it would send a value below the first step.
void CvnLcdComboBox::comboBoxChanged(juce::ComboBox*) {
    const int id = getSelectedId();
    if (id <= 0 || numItems_ <= 0 || gui_ == nullptr) return;
    const int i = std::min(id - 1, numItems_ - 1);
    gui_->notifyParameterEdit(MVGuiInterface::kNewValue, index_,
                              (static_cast<float>(i) + 0.5f) / static_cast<float>(numItems_));
}

} // namespace corvex
