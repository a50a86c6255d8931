#include "editor/lcd/CorvanMainSequencerPanel.h"

#include "editor/lcd/LcdPage.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr int kTabX = 30, kTabWidth = 60, kTabHeight = 25;
constexpr int kRadioGroup = 1;
constexpr int kFanInset = 5;
constexpr const char* kCaptions[CorvanMainSequencerPanel::kSubPageCount] = {"Quorbit", "Sequencer", "Keyboard"};
} // namespace

std::array<juce::Rectangle<int>, CorvanMainSequencerPanel::kSubPageCount>
CorvanMainSequencerPanel::tabBoundsFor(int height) {
    const int q = (height - 75) / 4;
    std::array<juce::Rectangle<int>, kSubPageCount> tabs;
    for (int i = 0; i < kSubPageCount; ++i)
        tabs[static_cast<size_t>(i)] = {kTabX, (i + 1) * q + i * kTabHeight, kTabWidth, kTabHeight};
    return tabs;
}

CorvanMainSequencerPanel::CorvanMainSequencerPanel(MVGuiInterface* gui) {
    for (size_t i = 0; i < kSubPageCount; ++i) {
        auto tab = std::make_unique<CvnLcdTextButton>(kCaptions[i]);
        tab->setButtonText(kCaptions[i]);
        tab->setClickingTogglesState(true);
        tab->setRadioGroupId(kRadioGroup);
        tab->addListener(this);
        addAndMakeVisible(*tab);
        tabs_[i] = std::move(tab);
    }
    quorbitPage_ = std::make_unique<CorvanQuorbitPanel>(gui);
    addAndMakeVisible(*quorbitPage_);
    sequencerPage_ = std::make_unique<CorvanSequencerPanel>(gui);
    addChildComponent(*sequencerPage_);
    keyboardPage_ = std::make_unique<CorvanKeyboardPanel>(gui);
    addChildComponent(*keyboardPage_);

    const int page = lcdpage::fromValue(gui->getParameter(ParameterIndex::kLcdPage));
    showSubPage(lcdpage::isModulation(page) ? page - lcdpage::kFirstModulation : kQuorbit);
    tabs_[static_cast<size_t>(subPageIndex_)]->setToggleState(true, juce::dontSendNotification);
}

CorvanMainSequencerPanel::~CorvanMainSequencerPanel() {
    for (auto& tab : tabs_) tab->removeListener(this);
}

juce::Component* CorvanMainSequencerPanel::getSubPage(SubPage page) const {
    switch (page) {
    case kQuorbit: return quorbitPage_.get();
    case kSequencer: return sequencerPage_.get();
    case kKeyboard: return keyboardPage_.get();
    default: return nullptr;
    }
}

void CorvanMainSequencerPanel::showSubPage(int index) {
    subPageIndex_ = index;
    for (int i = 0; i < kSubPageCount; ++i) getSubPage(static_cast<SubPage>(i))->setVisible(i == index);
}

void CorvanMainSequencerPanel::setVisible(bool shown) {
    for (int i = 0; i < kSubPageCount; ++i)
        getSubPage(static_cast<SubPage>(i))->setVisible(shown && i == subPageIndex_);
    MVPanel::setVisible(shown);
}

void CorvanMainSequencerPanel::buttonClicked(juce::Button* button) {
    int index = kKeyboard;
    if (button == tabs_[kQuorbit].get()) index = kQuorbit;
    if (button == tabs_[kSequencer].get()) index = kSequencer;
    showSubPage(index);
    repaint();
}

void CorvanMainSequencerPanel::resized() {
    const auto tabs = tabBoundsFor(getHeight());
    for (size_t i = 0; i < kSubPageCount; ++i) {
        tabs_[i]->setBounds(tabs[i]);
        getSubPage(static_cast<SubPage>(i))->setBounds(kPageX, 0, getWidth() - kPageX, getHeight());
    }
}

void CorvanMainSequencerPanel::paint(juce::Graphics& g) {
    size_t chosen = kKeyboard;
    if (tabs_[kQuorbit]->getToggleState()) chosen = kQuorbit;
    else if (tabs_[kSequencer]->getToggleState()) chosen = kSequencer;
    const juce::Rectangle<float> tab = tabBoundsFor(getHeight())[chosen].toFloat();
    const float pageX = static_cast<float>(kPageX);
    g.setColour(CorvanLookAndFeel::getInstance()->greyColour.withAlpha(0.4f));
    g.drawLine(tab.getRight(), tab.getY(), pageX, static_cast<float>(kFanInset), 0.5f);
    g.drawLine(tab.getRight(), tab.getBottom(), pageX, static_cast<float>(getHeight() - kFanInset), 0.5f);
}

} // namespace corvex
