// The MIDI-learn popup: the controller the MIDI manager holds for a parameter, with learn, clear, the NRPN
// switch and menus for the controller's numbers.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/MorvaneMidiManagerListener.h"
#include "widgets/MVBubbleComponent.h"

namespace corvex {

class MVGuiInterface;
class MorvaneMidiManager;

class MVBubbleMidiSettings : public MVBubbleComponent {
public:
    static constexpr int kContentWidth = 220;
    static constexpr int kContentHeight = 120;

    class MidiSettings : public juce::Component, public juce::Button::Listener, public MorvaneMidiManagerListener {
    public:
        // The "morvane_id" of the children that react to clicks (the number labels are in MidiControllerCode.h).
        static constexpr int kLearnButton = 0;
        static constexpr int kClearButton = 1;
        static constexpr int kCloseButton = 2;
        static constexpr int kNrpnSwitch = 3;
        static constexpr const char* kIdProperty = "morvane_id";

        explicit MidiSettings(MVGuiInterface* gui);
        ~MidiSettings() override;

        // Which parameter the popup edits; the code shown is always the one the MIDI manager holds.
        void setTarget(int index, int code);
        int getIndex() const { return index_; }
        int getCode() const { return code_; }
        void refresh();
        void applyLookAndFeel(juce::LookAndFeel* lookAndFeel);
        bool isLearning() const { return learn_.getToggleState(); }
        // Learn button off, learn target cleared.
        void stopLearning();
        // What a number menu's result (kMenuDismissed, kMenuChoseNone or 0..127) does to the label's code.
        void applyNumberChoice(int label, int result);
        juce::Component* findChildWithId(int id);

        void resized() override;
        void lookAndFeelChanged() override;
        void buttonClicked(juce::Button* button) override;
        void mouseDown(const juce::MouseEvent& event) override;

        void midiActivity() override {}
        void controllerAssignmentChanged(int index, int controller) override;
        void midiNoteChanged(int, int) override {}
        void midiValueChanged(float) override {}

    private:
        void showNumberMenu(int label);

        MVGuiInterface* const gui_;
        MorvaneMidiManager* const midi_;
        int index_ = -1;
        int code_ = -1;
        juce::Label title_{"Midi Control", "Midi Control Setup"};
        juce::Label name_{"name"};
        juce::ToggleButton nrpn_{"Use NRPN"};
        juce::Label number_;
        juce::Label high_;
        juce::Label low_;
        juce::TextButton learn_{"Learn"};
        juce::TextButton clear_{"Clear"};
        juce::ImageButton close_;
    };

    explicit MVBubbleMidiSettings(MVGuiInterface* gui);

    MidiSettings& getSettings() { return *settings_; }

    void getContentSize(int& width, int& height) override {
        width = kContentWidth;
        height = kContentHeight;
    }
    // A hidden popup cannot show that it is learning, so hiding it ends learning.
    void visibilityChanged() override;

private:
    MidiSettings* settings_;
};

} // namespace corvex
