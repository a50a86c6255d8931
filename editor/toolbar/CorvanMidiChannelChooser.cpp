// The toolbar's MIDI channel button.
#include "editor/toolbar/CorvanMidiChannelChooser.h"

#include "editor/ModalCalls.h"
#include "instrument/MidiMenus.h"
#include "instrument/MorvaneMidiManager.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/MVGuiInterface.h"

namespace corvex {

CorvanMidiChannelChooser::CorvanMidiChannelChooser(MVGuiInterface* gui, ModalCalls& calls)
    : CvnLcdTextButton("Midi"), gui_(gui), calls_(calls) {
    if (MorvaneMidiManager* midi = gui_ != nullptr ? gui_->getMidiManager() : nullptr) channel_ = midi->getChannel();
    setButtonText(channelText(channel_));
    addListener(this);
}

CorvanMidiChannelChooser::~CorvanMidiChannelChooser() { removeListener(this); }

juce::String CorvanMidiChannelChooser::channelText(int channel) {
    return channel == 0 ? juce::String("All") : juce::String(channel);
}

void CorvanMidiChannelChooser::buttonClicked(juce::Button*) {
    MorvaneMidiManager* midi = gui_ != nullptr ? gui_->getMidiManager() : nullptr;
    if (midi == nullptr) return;
    const int chosen = calls_.showMenu(midi->makeChannelMenu(CorvanLookAndFeel::getInstance()));
    midi->setChannel(channelAfterMenu(chosen, midi->getChannel()));
    channel_ = midi->getChannel();
    setButtonText(channelText(channel_));
}

} // namespace corvex
