// Control changes to parameters: NRPN/RPN selection, MIDI learn, the controller map under the edit lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "instrument/midi/ControllerMap.h"
#include "instrument/midi/MidiEvent.h"
#include "instrument/midi/PendingControllers.h"
#include "instrument/midi/SpscRing.h"

namespace corvex {

// The instrument side that a moving controller changes; called on the audio thread with the edit lock held.
class MidiParameterSink {
public:
    virtual ~MidiParameterSink() = default;
    virtual void setParameterFromMidi(int index, float value) = 0;
};

// Notices that a message-thread change produces, handed straight to the listeners by the caller.
struct MidiNotices {
    std::array<MidiEvent, 2> events{};
    int count = 0;
    void add(const MidiEvent& e) { events[static_cast<size_t>(count++)] = e; }
};

class MidiControlCore {
public:
    static constexpr int kEventRingSize = 500;
    using EventRing = SpscRing<MidiEvent, kEventRingSize>;

    MidiControlCore(std::mutex& editLock, MidiParameterSink& sink) : editLock_(editLock), sink_(sink) {}

    // Audio thread. Applies the values that waited for the edit lock, in arrival order.
    void beginBlock();
    // Audio thread: every control change except 123.
    void handleControlChange(int controller, int value);
    // Audio thread: the only producer of the event ring.
    bool pushEvent(const MidiEvent& e) { return events_.push(e); }

    // Message thread: the only consumer of the event ring.
    bool popEvent(MidiEvent& e) { return events_.pop(e); }

    // Message thread.
    void setLearnTarget(int index) { learnTarget_.store(index, std::memory_order_relaxed); }
    void clearLearnTarget() { learnTarget_.store(-1, std::memory_order_relaxed); }
    int learnTarget() const { return learnTarget_.load(std::memory_order_relaxed); }
    // code -1 clears the index; an invalid code or index changes nothing.
    MidiNotices assignController(int code, int index);
    MidiNotices clearParameterController(int index);
    int getParameterController(int index) const;
    // Replaces the whole map, one controller per index (a later entry for an index wins).
    void loadMap(const std::vector<ControllerEntry>& entries);
    std::vector<ControllerEntry> mapSnapshot() const;

private:
    // The edit lock is held by the caller.
    void learnAndDispatch(int32_t code, int value, bool mayLearn);
    void dispatchOrDefer(int32_t code, int value, bool mayLearn);

    std::mutex& editLock_;
    MidiParameterSink& sink_;
    ControllerMap map_;
    PendingControllers pending_;
    EventRing events_;
    std::atomic<int> learnTarget_{-1};
    // Selection state lives on the audio thread alone; 0x7F means none selected.
    uint8_t nrpnMsb_ = 0x7F, nrpnLsb_ = 0x7F, rpnMsb_ = 0x7F, rpnLsb_ = 0x7F;
};

} // namespace corvex
