// The toolbar's MIDI LED: lit for half a second by each activity notice of the MIDI manager. Its timer runs
// only while it is lit, so an editor without MIDI coming in runs none.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/MorvaneMidiManagerListener.h"
#include "widgets/MVMillisecondClock.h"

namespace corvex {

class MVGuiInterface;
class MorvaneMidiManager;

// Message thread only. The GUI interface's MIDI manager must outlive the LED.
class CvnMidiLed : public juce::Component, public MorvaneMidiManagerListener, private juce::Timer {
public:
    static constexpr int kTickMs = 100;
    static constexpr juce::uint32 kLitMs = 500;

    // Tests pass a clock they turn by hand and call tick themselves.
    explicit CvnMidiLed(MVGuiInterface* gui, MVMillisecondClock clock = systemMillisecondClock());
    ~CvnMidiLed() override;

    bool isLit() const { return lit_; }
    bool isTicking() const { return isTimerRunning(); }
    // What the timer does: the LED goes out once its lit time has passed.
    void tick();

    void midiActivity() override;
    void controllerAssignmentChanged(int, int) override {}
    void midiNoteChanged(int, int) override {}
    void midiValueChanged(float) override {}

    void paint(juce::Graphics& g) override;

private:
    void timerCallback() override { tick(); }

    MorvaneMidiManager* const manager_;
    MVMillisecondClock clock_;
    bool lit_ = false;
    juce::uint32 offTime_ = 0;
    juce::Image litImage_;
    juce::Image unlitImage_;
};

} // namespace corvex
