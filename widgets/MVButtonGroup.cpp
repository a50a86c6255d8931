// A radio group of buttons bound to one discrete parameter.
#include "widgets/MVButtonGroup.h"

#include "widgets/MVDiscreteSteps.h"

namespace corvex {

namespace {
// Every group of the process gets its own radio group id, from 1 up.
int nextRadioGroupId() {
    static int last = 0;
    return ++last;
}
} // namespace

MVButtonGroup::MVButtonGroup(MVGuiInterface* gui, int index)
    : gui_(gui), index_(index), radioGroupId_(nextRadioGroupId()),
      value_(gui != nullptr ? gui->getParameter(index) : 0.0f), binding_(gui, this) {
    if (index_ >= 0) binding_.bind(index_);
}

MVButtonGroup::MVButtonGroup(MVGuiInterface* gui, int index, std::initializer_list<juce::Button*> buttons)
    : MVButtonGroup(gui, index) {
    for (juce::Button* button : buttons) addButton(button);
}

MVButtonGroup::~MVButtonGroup() {
    binding_.unbind();
    for (auto& button : buttons_)
        if (button != nullptr) button->removeListener(this);
}

void MVButtonGroup::addButton(juce::Button* button) {
    buttons_.emplace_back(button);
    if (button != nullptr) {
        button->setRadioGroupId(radioGroupId_, juce::dontSendNotification);
        button->addListener(this);
    }
    selectIndex(stepOf(value_, getButtonCount()));
}

void MVButtonGroup::selectIndex(int i) {
    for (int k = 0; k < getButtonCount(); ++k)
        if (juce::Button* button = buttons_[static_cast<size_t>(k)].getComponent())
            button->setToggleState(k == i, juce::dontSendNotification);
}

void MVButtonGroup::buttonClicked(juce::Button* button) {
    if (button == nullptr || !button->getToggleState() || index_ < 0 || gui_ == nullptr) return;
    int j = 0;
    while (j < getButtonCount() && buttons_[static_cast<size_t>(j)].getComponent() != button) ++j;
    gui_->notifyParameterEdit(MVGuiInterface::kNewValue, index_, stepCentre(j, getButtonCount()));
}

void MVButtonGroup::parameterChanged(int, float value) {
    value_ = value;
    selectIndex(stepOf(value, getButtonCount()));
}

} // namespace corvex
