// What the editor, the MIDI LED, the on-screen keyboard and the learn bubble hear from the MIDI manager.
#pragma once

namespace corvex {

// Called on the message thread only.
class MorvaneMidiManagerListener {
public:
    virtual ~MorvaneMidiManagerListener() = default;
    virtual void midiActivity() = 0;
    virtual void controllerAssignmentChanged(int index, int controller) = 0; // -1 when removed
    virtual void midiNoteChanged(int note, int state) = 0;                   // note -1: all notes off
    virtual void midiValueChanged(float value) = 0;                          // pitch wheel 0..1
};

} // namespace corvex
