// The LCD's "Modulations" page: three tabs on the left (Quorbit, Sequencer, Keyboard) choosing the modulation
// page shown on the right, joined to it by a drawn fan.
#pragma once

#include <array>
#include <memory>

#include "editor/modulation/CorvanKeyboardPanel.h"
#include "editor/modulation/CorvanQuorbitPanel.h"
#include "editor/sequencer/CorvanSequencerPanel.h"
#include "widgets/CvnLcdTextButton.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"

namespace corvex {

// Message thread only.
class CorvanMainSequencerPanel : public MVPanel, public juce::Button::Listener {
public:
    enum SubPage { kQuorbit, kSequencer, kKeyboard, kSubPageCount };

    static constexpr int kPageX = 150;
    // The tab of each sub-page, for a page of that height.
    static std::array<juce::Rectangle<int>, kSubPageCount> tabBoundsFor(int height);

    explicit CorvanMainSequencerPanel(MVGuiInterface* gui);
    ~CorvanMainSequencerPanel() override;

    int getSubPageIndex() const { return subPageIndex_; }
    juce::Button* getTab(SubPage page) const { return tabs_[static_cast<size_t>(page)].get(); }
    juce::Component* getSubPage(SubPage page) const;

    // The sub-pages follow: only the chosen one shows, and only while the page does.
    void setVisible(bool shown) override;
    void buttonClicked(juce::Button* button) override;
    void resized() override;
    void paint(juce::Graphics& g) override;

private:
    void showSubPage(int index);

    std::array<std::unique_ptr<CvnLcdTextButton>, kSubPageCount> tabs_;
    std::unique_ptr<CorvanSequencerPanel> sequencerPage_;
    std::unique_ptr<CorvanQuorbitPanel> quorbitPage_;
    std::unique_ptr<CorvanKeyboardPanel> keyboardPage_;
    int subPageIndex_ = kQuorbit;
};

} // namespace corvex
