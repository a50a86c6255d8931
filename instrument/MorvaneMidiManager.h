// The instrument's MIDI input: channel filter, clock tempo, on-screen notes, controller map and notices.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_events/juce_events.h>

#include "instrument/BoundedMidiBuffer.h"
#include "instrument/MidiManagerOwner.h"
#include "instrument/MorvaneMidiManagerListener.h"
#include "instrument/midi/MidiClockTempo.h"
#include "instrument/midi/MidiControlCore.h"
#include "instrument/midi/SpscRing.h"

namespace juce {
class LookAndFeel;
class PopupMenu;
}

namespace corvex {

class MorvaneMidiManager : private juce::Timer {
public:
    static constexpr int kNoteRingSize = 50;
    // Incoming events one block keeps; a MIDI 1.0 cable carries about 1000 per second, so this holds
    // seconds of input however long the block. Beyond it events are dropped and counted; one that ends a
    // sound goes only when nothing else is left to drop.
    static constexpr int kMaxIncomingBlockEvents = 2048;
    static constexpr int kTimerMs = 50;

    MorvaneMidiManager(MidiManagerOwner& owner, std::mutex& editLock);
    ~MorvaneMidiManager() override;

    // Audio thread.
    void setSampleRate(double rate) { tempo_.setSampleRate(rate); }
    void processMidiBuffer(const juce::MidiBuffer& incoming, int numSamples);
    const juce::MidiBuffer& getBlockEvents() const { return blockEvents_.events(); }
    // Any thread: incoming events lost because a block held more than the reserved storage.
    int64_t getDroppedEventCount() const { return blockEvents_.droppedCount(); }
    void handleControlChange(int controller, int value) { core_.handleControlChange(controller, value); }
    double getTempo() const { return tempo_.bpm(); }

    // Message thread.
    void setChannel(int channel);
    int getChannel() const { return channel_.load(std::memory_order_relaxed); }
    int showChannelMenu(juce::LookAndFeel* lookAndFeel);
    // The menu showChannelMenu shows, for callers that run their menus themselves.
    juce::PopupMenu makeChannelMenu(juce::LookAndFeel* lookAndFeel) const;
    void showControllerMenu(int index);
    void addListener(MorvaneMidiManagerListener* listener) { listeners_.add(listener); }
    void removeListener(MorvaneMidiManagerListener* listener) { listeners_.remove(listener); }
    int sendNote(int note, bool on, float velocity);
    void setLearnTarget(int index) { core_.setLearnTarget(index); }
    void clearLearnTarget() { core_.clearLearnTarget(); }
    void assignController(int controller, int index);
    void clearParameterController(int index);
    int getParameterController(int index) const { return core_.getParameterController(index); }
    bool loadFromFile(const juce::File& file);
    bool saveToFile(const juce::File& file);
    // What the 50 ms timer does; tests call it without a message loop.
    void drainEvents();

private:
    void timerCallback() override { drainEvents(); }
    void deliver(const MidiEvent& e);
    void deliver(const MidiNotices& notices);

    MidiManagerOwner& owner_;
    MidiControlCore core_;
    MidiClockTempo tempo_;
    std::atomic<int> channel_{0};
    BoundedMidiBuffer blockEvents_{kNoteRingSize + kMaxIncomingBlockEvents};
    SpscRing<uint32_t, kNoteRingSize> noteRing_;
    juce::ListenerList<MorvaneMidiManagerListener> listeners_;
    int64_t samplesSeen_ = 0; // audio thread: the clock's time base
};

} // namespace corvex
