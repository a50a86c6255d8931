// The X/Y modulation page: the three LFOs of the edited layer's X/Y source (X, Y and the axis rotation), the
// axis angle, the screen with the point's trails and the routes of the rotated X and Y outputs.
#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/modulation/CorvanModOutputPanel.h"
#include "editor/modulation/CorvanQuorbitScreen.h"
#include "widgets/CvnLcdButton.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/CvnLcdKnob.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"

namespace corvex {

// Message thread only.
class CorvanQuorbitPanel : public MVPanel {
public:
    static constexpr int kLfos = 3;

    explicit CorvanQuorbitPanel(MVGuiInterface* gui);
    ~CorvanQuorbitPanel() override;
    CorvanQuorbitPanel(const CorvanQuorbitPanel&) = delete;
    CorvanQuorbitPanel& operator=(const CorvanQuorbitPanel&) = delete;

    CorvanQuorbitScreen& getScreen() { return *screen_; }
    CorvanModOutputPanel& getXOutput() { return *xOutput_; }
    CorvanModOutputPanel& getYOutput() { return *yOutput_; }
    CvnLcdComboBox& getShapeBox(int lfo) { return *lfos_.at(static_cast<size_t>(lfo)).shape; }
    CvnLcdKnob& getRateKnob(int lfo) { return *lfos_.at(static_cast<size_t>(lfo)).rate; }
    CvnLcdKnob& getAngleKnob() { return *angle_; }
    CvnLcdButton& getFreeRunButton() { return *freeRun_; }
    CvnLcdButton& getSyncButton() { return *sync_; }

    // The screen hears first, so that it stops drawing before the page goes.
    void setVisible(bool shouldBeVisible) override;
    void resized() override;
    void paint(juce::Graphics& g) override;

private:
    struct Lfo {
        std::unique_ptr<juce::Label> shapeLabel;
        std::unique_ptr<CvnLcdComboBox> shape;
        std::unique_ptr<juce::Label> rateLabel;
        std::unique_ptr<CvnLcdKnob> rate;
    };
    struct Group {
        juce::Rectangle<int> bounds;
        juce::String title;
    };

    std::unique_ptr<CvnLcdButton> freeRun_, sync_;
    std::array<Lfo, kLfos> lfos_;
    std::array<Group, kLfos> groups_;
    std::unique_ptr<juce::Label> angleLabel_;
    std::unique_ptr<CvnLcdKnob> angle_;
    std::unique_ptr<CorvanQuorbitScreen> screen_;
    std::unique_ptr<CorvanModOutputPanel> xOutput_, yOutput_;
    juce::Path toYOutput_, toXOutput_;
};

} // namespace corvex
