// The audio thread's note, bend and pressure entry points: each becomes a message for every part it reaches.
#include "engine/kernel/CorvexProgram.h"
#include "engine/kernel/SoftwareKernel.h"

namespace corvex {

namespace {

bool isNoteOn(int status, int velocity) { return (status & 0xF0) == 0x90 && velocity != 0; }

uint16_t midiWord0(int status, int part) {
    return static_cast<uint16_t>((((status & 0xF0) | part) << 8) | MessageType::MidiEvent);
}

} // namespace

void SoftwareKernel::sendMidiNote(int status, int note, int velocity) {
    note &= 127;
    velocity &= 127;
    for (int p = 0; p < kPartCount; ++p) {
        CorvexProgram* part = program(p);
        if (part == nullptr || !part->enabled || !part->running) continue;
        const uint16_t words[2] = {midiWord0(status, p), static_cast<uint16_t>((velocity << 8) | note)};
        if (!isNoteOn(status, velocity)) {
            hold_.noteOff(p, words);
        } else if (note >= part->keyLow && note <= part->keyHigh) {
            hold_.noteOn(p, words);
        }
    }
}

void SoftwareKernel::sendPitchBend(int msb, int lsb) {
    const int v = (((msb & 127) << 7) | (lsb & 127)) - 8192;
    const auto word = static_cast<uint16_t>(static_cast<int>((static_cast<float>(v) / 8192.0f + 1.0f) * 16384.0f));
    for (int section = 1; section <= 2; ++section) {
        const uint16_t words[2] = {static_cast<uint16_t>((section << 8) | MessageType::Bend), word};
        processMessage(words, 2);
    }
}

// The MIDI manager has already chosen the channel: pressure reaches every playing part, as notes do.
void SoftwareKernel::sendPressure(int status, int data1, int data2) {
    int note = 0, value = 0;
    switch (status & 0xF0) {
    case 0xD0:
        note = 255;
        value = data1 & 127;
        break;
    case 0xA0:
        note = data1 & 127;
        value = data2 & 127;
        break;
    default:
        return;
    }
    for (int p = 0; p < kPartCount; ++p) {
        CorvexProgram* part = program(p);
        if (part == nullptr || !part->enabled || !part->running) continue;
        const uint16_t words[2] = {static_cast<uint16_t>((p << 8) | MessageType::Pressure),
                                   static_cast<uint16_t>((value << 8) | note)};
        processMessage(words, 2);
    }
}

void SoftwareKernel::allNotesOff() {
    for (int p = 0; p < kPartCount; ++p) {
        const uint16_t words[2] = {midiWord0(0xB0, p), 123};
        processMessage(words, 2);
    }
}

} // namespace corvex
