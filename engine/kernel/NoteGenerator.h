// The kernel's arpeggiator: turns the held keys into one stepped note stream, advanced once per block.
#pragma once

#include <cstdint>

namespace corvex {

struct EngineContext;
struct GlobalBlockParams;

class NoteGenerator {
public:
    static constexpr int kMaxHeld = 32;
    static constexpr uint32_t kNoteEventLow = 0x9012u; // a note-on MIDI event message
    static constexpr uint32_t kDefaultSeed = 0x6C078965u;

    // Packs a note event; velocity 0 makes it a note-off.
    static constexpr uint32_t noteEvent(int velocity, int note) {
        return ((static_cast<uint32_t>(velocity & 0xFF) << 8 | static_cast<uint32_t>(note & 0xFF)) << 16) |
               kNoteEventLow;
    }
    static constexpr int eventNote(uint32_t event) { return static_cast<int>((event >> 16) & 0xFFu); }
    static constexpr int eventVelocity(uint32_t event) { return static_cast<int>(event >> 24); }

    void reset(const EngineContext* context, const GlobalBlockParams* config);
    void seed(uint32_t state) { random_ = state; }

    // statusNibble 9 with a velocity is a key press; 8, or 9 with velocity 0, a release.
    void noteInput(int velocity, int part, int statusNibble, int note);
    // events[0] is the release of the note that stops, events[1] the note that starts; 0 is no event.
    void step(uint32_t events[2]);

    bool switchedOn(int part) const;
    int pendingAction(int part) const;
    void clearPendingAction(int part);

    // The held keys in the order they took their entries, as the kernel releases or re-strikes them.
    int heldCount() const { return heldCount_; }
    int heldNote(int i) const { return (i >= 0 && i < heldCount_ && i < kMaxHeld) ? listNotes_[i] : -1; }
    void clearHeldNotes();

private:
    enum Action : int32_t { NoAction = 0, Release = 1, ReleaseAndStrike = 2 };

    float stepLength() const;
    int nextNote(int* velocity);
    void forgetPosition();
    void rebuildList();

    const EngineContext* context_ = nullptr;
    bool lastSwitch_[2] = {false, false};
    int32_t pendingAction_[2] = {NoAction, NoAction};
    uint8_t listNotes_[kMaxHeld] = {};
    uint8_t listVelocities_[kMaxHeld] = {};
    uint8_t heldNotes_[kMaxHeld] = {}; // 0 marks an empty entry
    uint8_t heldVelocities_[kMaxHeld] = {};
    int32_t heldCount_ = 0;
    int32_t position_ = 0;
    int32_t octave_ = 0;
    int32_t lastNote_ = -1;
    float sampleCounter_ = 0.0f;
    int32_t direction_ = 1;
    bool firstStep_ = true;
    uint32_t random_ = kDefaultSeed;
    const GlobalBlockParams* config_ = nullptr;
};

} // namespace corvex
