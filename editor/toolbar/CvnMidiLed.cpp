// The toolbar's MIDI LED.
#include "editor/toolbar/CvnMidiLed.h"

#include "editor/toolbar/ToolbarArt.h"
#include "instrument/MorvaneMidiManager.h"
#include "widgets/MVGuiInterface.h"

namespace corvex {

CvnMidiLed::CvnMidiLed(MVGuiInterface* gui, MVMillisecondClock clock)
    : manager_(gui != nullptr ? gui->getMidiManager() : nullptr), clock_(std::move(clock)) {
    if (manager_ != nullptr) manager_->addListener(this);
    litImage_ = toolbarart::midiLed(true);
    unlitImage_ = toolbarart::midiLed(false);
    setSize(litImage_.getWidth(), litImage_.getHeight());
}

CvnMidiLed::~CvnMidiLed() {
    stopTimer();
    if (manager_ != nullptr) manager_->removeListener(this);
}

// Each notice starts the lit time afresh, so a steady stream of MIDI keeps the LED on.
void CvnMidiLed::midiActivity() {
    offTime_ = clock_() + kLitMs;
    if (!lit_) {
        lit_ = true;
        repaint();
    }
    if (!isTimerRunning()) startTimer(kTickMs);
}

void CvnMidiLed::tick() {
    // Unsigned difference: the millisecond counter may wrap while the LED is lit.
    if (!lit_ || static_cast<juce::int32>(clock_() - offTime_) <= 0) return;
    lit_ = false;
    stopTimer();
    repaint();
}

void CvnMidiLed::paint(juce::Graphics& g) {
    g.drawImage(lit_ ? litImage_ : unlitImage_, getLocalBounds().toFloat());
}

} // namespace corvex
