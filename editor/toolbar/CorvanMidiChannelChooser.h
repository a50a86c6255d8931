// The toolbar's MIDI channel button: shows the receive channel ("All" or 1 to 16) and changes it through the
// MIDI manager's channel menu.
#pragma once

#include "widgets/CvnLcdTextButton.h"

namespace corvex {

class MVGuiInterface;
class ModalCalls;

// Message thread only. The GUI interface and the modal calls must outlive the button.
class CorvanMidiChannelChooser : public CvnLcdTextButton, private juce::Button::Listener {
public:
    CorvanMidiChannelChooser(MVGuiInterface* gui, ModalCalls& calls);
    ~CorvanMidiChannelChooser() override;

    static juce::String channelText(int channel);
    int getChannel() const { return channel_; }

private:
    void buttonClicked(juce::Button*) override;

    MVGuiInterface* const gui_;
    ModalCalls& calls_;
    int channel_ = 0;
};

} // namespace corvex
