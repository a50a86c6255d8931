// The gallery's section of skinned widgets.
#include "tools/gallery/GallerySkinned.h"

#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanKeyboard.h"
#include "widgets/CorvanMoveSplitComponent.h"
#include "widgets/CvnBlueLedButton.h"
#include "widgets/CvnFlatKnob.h"
#include "widgets/CvnGreen2LedButton.h"
#include "widgets/CvnLeft4PosKnob.h"
#include "widgets/CvnLeftKnob.h"
#include "widgets/CvnLeftSlider.h"
#include "widgets/CvnLeftSwitch2Pos.h"
#include "widgets/CvnLfoButton.h"
#include "widgets/CvnMiddle4PosKnob.h"
#include "widgets/CvnMiddleKnob.h"
#include "widgets/CvnMiddleSlider.h"
#include "widgets/CvnOrangeLedButton.h"
#include "widgets/CvnRedLedButton.h"
#include "widgets/CvnRightSlider.h"
#include "widgets/CvnRightSwitch2Pos.h"
#include "widgets/CvnSwitch3Pos.h"
#include "widgets/CvnWheelKnob.h"
#include "widgets/CvnWhiteLedButton.h"
#include "widgets/CvnYellowLedButton.h"

namespace corvex {

namespace {

// Gallery widgets hear no parameters of their own: indices well away from the instrument's.
constexpr int kShowIndex = 5000;

class SkinnedSection : public juce::Component {
public:
    explicit SkinnedSection(MVGuiInterface* gui) : keyboard_(gui), marker_(gui, &keyboard_) {
        int x = 12;
        const auto place = [&](juce::Component* c, int y, double value = -1.0) {
            owned_.add(c);
            c->setTopLeftPosition(x, y);
            if (auto* s = dynamic_cast<juce::Slider*>(c); s != nullptr && value >= 0.0)
                s->setValue(value, juce::dontSendNotification);
            addAndMakeVisible(c);
            x += c->getWidth() + 10;
        };
        place(new CvnLeftKnob(gui, kShowIndex), 20, 0.0);
        place(new CvnLeftKnob(gui, kShowIndex), 20, 0.7);
        place(new CvnMiddleKnob(gui, kShowIndex), 20, 0.3);
        place(new CvnMiddleKnob(gui, kShowIndex), 20, 1.0);
        place(new CvnLeft4PosKnob(gui), 20, 0.6);
        place(new CvnMiddle4PosKnob(gui, kShowIndex), 20, 0.1);
        place(new CvnFlatKnob(gui, kShowIndex), 14, 0.5);
        place(new CvnWheelKnob(gui), 22, 0.5);
        place(new CvnLeftSlider(gui, kShowIndex), 14, 0.8);
        place(new CvnMiddleSlider(gui, kShowIndex), 14, 0.4);
        place(new CvnRightSlider(gui, kShowIndex), 14, 0.0);
        place(new CvnLeftSwitch2Pos(gui, kShowIndex), 20, 0.0);
        place(new CvnRightSwitch2Pos(gui, kShowIndex), 20, 1.0);
        place(new CvnSwitch3Pos(gui, kShowIndex), 20, 1.0);

        x = 12;
        juce::Button* on[] = {new CvnBlueLedButton(gui), new CvnGreen2LedButton(gui, -1),
                              new CvnOrangeLedButton(gui, -1), new CvnRedLedButton(nullptr),
                              new CvnWhiteLedButton(gui), new CvnYellowLedButton(gui)};
        for (juce::Button* b : on) {
            place(b, 90);
            b->setToggleState(true, juce::dontSendNotification);
        }
        juce::Button* off[] = {new CvnBlueLedButton(gui), new CvnGreen2LedButton(gui, -1),
                               new CvnOrangeLedButton(gui, -1), new CvnRedLedButton(nullptr),
                               new CvnWhiteLedButton(gui), new CvnYellowLedButton(gui)};
        for (juce::Button* b : off) place(b, 90);
        place(new CvnLfoButton(nullptr), 94);

        addAndMakeVisible(keyboard_);
        keyboard_.setTopLeftPosition(13, 180);
        // A C minor chord with its bass note, and a run of neighbours that shows the shared-edge frames.
        for (const int note : {36, 60, 63, 67, 71, 72, 73, 74})
            keyboard_.midiNoteChanged(note, 1);
        addChildComponent(marker_);
        marker_.setBounds(7, 167, 805, 30);
        marker_.parameterChanged(ParameterIndex::kKeyMode, 1.0f);
        marker_.parameterChanged(ParameterIndex::kSplitKey, (60 + 0.5f) / 128.0f);
        setSize(kSkinnedSectionWidth, kSkinnedSectionHeight);
    }

    ~SkinnedSection() override {
        removeAllChildren();
        owned_.clear();
    }

    void paint(juce::Graphics& g) override {
        // A stand-in for the panel's brushed dark finish, so the pictures are seen on what they were drawn for.
        juce::ColourGradient panel(juce::Colour(0xFF2E3034), 0.0f, 0.0f, juce::Colour(0xFF1E1F22), 0.0f,
                                   static_cast<float>(getHeight()), false);
        g.setGradientFill(panel);
        g.fillAll();
    }

private:
    juce::OwnedArray<juce::Component> owned_;
    CorvanKeyboard keyboard_;
    CorvanMoveSplitComponent marker_;
};

} // namespace

std::unique_ptr<juce::Component> createSkinnedSection(MVGuiInterface* gui) {
    return std::make_unique<SkinnedSection>(gui);
}

} // namespace corvex
