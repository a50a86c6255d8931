// Notes to voices: which voices a key takes, which a released key lets go, and freeing finished ones.
#pragma once

#include <cstdint>

#include "engine/kernel/VoiceRecord.h"

namespace corvex {

class CorvexProgram;
class HoldRing;
class KernelBase;
class ModuleWiring;
class NoteGenerator;

class VoiceAllocator {
public:
    // The part programs and key ranges come from the kernel; the hold rings are one per part.
    VoiceAllocator(const KernelBase& kernel, VoiceRecord (&voices)[kVoiceCount], ModuleWiring& wiring,
                   NoteGenerator& noteGenerator, HoldRing* holdRings)
        : kernel_(kernel), voices_(voices), wiring_(wiring), noteGenerator_(noteGenerator), holdRings_(holdRings) {}

    // A note event whose status carries the part in its low nibble: a note-on takes voices, a note-off
    // (or a note-on of velocity 0) lets a held key go.
    void dispatchNote(int status, int data1, int data2);
    // Answers 0, or a negative when a voice's modules could not be built.
    int assignVoice(int part, int note, int velocity);
    // Answers 1 when the key was down and is now released, 0 when it was not down.
    int releaseDirectNote(int part, int note);
    // Frees every voice of the part at once and forgets its keys, the held and the deferred ones.
    void partNotesOff(int part);
    // Frees the part's voices and forgets its keys, so that nothing a stopped part took stays taken.
    void freePartVoices(int part);
    void freeFinishedVoices();
    // Block words 3..23 of the packed-flags block become the part's voice-assign word and voice limit.
    void loadVoiceSetup(int part, const uint16_t* data, int length);
    // The arpeggiator's per-block step: pending releases and re-strikes of its held keys, then its events.
    void runNoteGenerator();
    int soundingVoiceCount() const;

private:
    CorvexProgram* program(int part) const;
    void releasePoly(int part, int note);
    void releaseMono(int part, int note);
    void freeVoice(VoiceRecord& voice);
    void signalPartKeys(int part, int event);

    const KernelBase& kernel_;
    VoiceRecord (&voices_)[kVoiceCount];
    ModuleWiring& wiring_;
    NoteGenerator& noteGenerator_;
    HoldRing* holdRings_;
};

} // namespace corvex
