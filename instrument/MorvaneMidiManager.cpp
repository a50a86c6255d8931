// The instrument's MIDI input: channel filter, clock tempo, on-screen notes, controller map and notices.
#include "instrument/MorvaneMidiManager.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/MidiMenus.h"
#include "instrument/MidiPrefsFile.h"
#include "instrument/midi/ReceiveFilter.h"

namespace corvex {

namespace {
constexpr uint8_t kScreenVelocity = 64;
} // namespace

MorvaneMidiManager::MorvaneMidiManager(MidiManagerOwner& owner, std::mutex& editLock)
    : owner_(owner), core_(editLock, owner) {
    startTimer(kTimerMs);
}

MorvaneMidiManager::~MorvaneMidiManager() { stopTimer(); }

void MorvaneMidiManager::processMidiBuffer(const juce::MidiBuffer& incoming, int numSamples) {
    core_.beginBlock();
    blockEvents_.clear();

    // The keyboard on screen plays whatever the receive channel, always on channel 1. Its ring holds
    // fewer notes than the block has room for, so these are never dropped.
    uint32_t word = 0;
    while (noteRing_.pop(word)) {
        const uint8_t bytes[3] = {static_cast<uint8_t>(word & 0xFF), static_cast<uint8_t>((word >> 8) & 0x7F),
                                  kScreenVelocity};
        if (blockEvents_.add(bytes, 3, 0))
            core_.pushEvent({MidiEventType::Note, 0, bytes[1], bytes[0] == 0x90 ? 1 : 0});
    }

    // Whatever ends a sound is counted first, so that a block crowded with controllers keeps room for it.
    const int channel = channel_.load(std::memory_order_relaxed);
    int endings = 0;
    for (const juce::MidiMessageMetadata meta : incoming)
        if (meta.numBytes >= 1 && meta.numBytes <= BoundedMidiBuffer::kMaxEventBytes &&
            passesReceiveChannel(channel, meta.data[0]) && BoundedMidiBuffer::endsSound(meta.data, meta.numBytes))
            ++endings;
    blockEvents_.reserveForEndings(endings);

    bool added = false;
    for (const juce::MidiMessageMetadata meta : incoming) {
        if (meta.numBytes < 1)
            continue;
        const uint8_t* d = meta.data;
        const uint8_t status = d[0];
        const uint8_t d1 = meta.numBytes > 1 ? (d[1] & 0x7F) : 0;
        const uint8_t d2 = meta.numBytes > 2 ? (d[2] & 0x7F) : 0;
        if (!passesReceiveChannel(channel, status))
            continue;
        const IncomingAction action = classifyIncoming(status, d1);
        if (action == IncomingAction::Clock) {
            tempo_.clock(samplesSeen_ + meta.samplePosition);
            continue;
        }
        // A dropped event is not shown either: the keyboard on screen must not light a note nobody hears.
        if (action == IncomingAction::Drop || !blockEvents_.add(d, meta.numBytes, meta.samplePosition))
            continue;
        added = true;
        switch (action) {
        case IncomingAction::Note:
            core_.pushEvent({MidiEventType::Note, 0, d1, ((status & 0xF0) == 0x90 && d2 > 0) ? 1 : 0});
            break;
        case IncomingAction::PitchWheel:
            core_.pushEvent({MidiEventType::PitchWheel, 0, d1 | (d2 << 7), 0});
            break;
        case IncomingAction::AllNotesOff:
            core_.pushEvent({MidiEventType::Note, 0, -1, 0});
            break;
        case IncomingAction::Clock:
        case IncomingAction::Drop:
        case IncomingAction::PassOn:
        case IncomingAction::ControlChange:
            break;
        }
    }
    if (added)
        core_.pushEvent({MidiEventType::Activity, 0, 0, 0});
    samplesSeen_ += numSamples;
}

void MorvaneMidiManager::setChannel(int channel) {
    if (channel >= 0 && channel <= 16)
        channel_.store(channel, std::memory_order_relaxed);
}

int MorvaneMidiManager::sendNote(int note, bool on, float /*velocity*/) {
    if (note < 0 || note > 127)
        return 0;
    const uint32_t word = (on ? 0x90u : 0x80u) | (static_cast<uint32_t>(note) << 8) |
                          (static_cast<uint32_t>(kScreenVelocity) << 16);
    return noteRing_.push(word) ? 1 : 0;
}

void MorvaneMidiManager::assignController(int controller, int index) { deliver(core_.assignController(controller, index)); }

void MorvaneMidiManager::clearParameterController(int index) { deliver(core_.clearParameterController(index)); }

void MorvaneMidiManager::drainEvents() {
    MidiEvent e;
    while (core_.popEvent(e))
        deliver(e);
}

void MorvaneMidiManager::deliver(const MidiNotices& notices) {
    for (int i = 0; i < notices.count; ++i)
        deliver(notices.events[static_cast<size_t>(i)]);
}

void MorvaneMidiManager::deliver(const MidiEvent& e) {
    switch (e.type) {
    case MidiEventType::Activity:
        listeners_.call([](MorvaneMidiManagerListener& l) { l.midiActivity(); });
        break;
    case MidiEventType::ControllerAssigned:
        listeners_.call([&](MorvaneMidiManagerListener& l) { l.controllerAssignmentChanged(e.index, e.a); });
        break;
    case MidiEventType::ControllerRemoved:
        listeners_.call([&](MorvaneMidiManagerListener& l) { l.controllerAssignmentChanged(e.index, -1); });
        break;
    case MidiEventType::LearnedControllerMoved:
        owner_.notifyEditorOfMidiParameter(e.index, static_cast<float>(e.a) / 127.0f);
        break;
    case MidiEventType::Note:
        listeners_.call([&](MorvaneMidiManagerListener& l) { l.midiNoteChanged(e.a, e.b); });
        break;
    case MidiEventType::PitchWheel:
        listeners_.call([&](MorvaneMidiManagerListener& l) { l.midiValueChanged(static_cast<float>(e.a) / 16384.0f); });
        break;
    }
}

juce::PopupMenu MorvaneMidiManager::makeChannelMenu(juce::LookAndFeel* lookAndFeel) const {
    juce::PopupMenu menu;
    menu.setLookAndFeel(lookAndFeel);
    const int ticked = channelMenuItemFor(getChannel());
    menu.addItem(1, "All", true, ticked == 1);
    for (int ch = 1; ch <= 16; ++ch)
        menu.addItem(ch + 1, juce::String(ch), true, ticked == ch + 1);
    return menu;
}

int MorvaneMidiManager::showChannelMenu(juce::LookAndFeel* lookAndFeel) {
    setChannel(channelAfterMenu(makeChannelMenu(lookAndFeel).show(), getChannel()));
    return getChannel();
}

void MorvaneMidiManager::showControllerMenu(int index) {
    if (index < 0)
        return;
    juce::PopupMenu menu;
    const int ticked = controllerMenuItemFor(getParameterController(index));
    menu.addItem(1, "none", true, ticked == 1);
    for (int c = 0; c <= 127; ++c)
        menu.addItem(c + 2, juce::String(c), true, ticked == c + 2);
    if (const std::optional<int> controller = controllerFromMenu(menu.show()))
        assignController(*controller, index);
}

bool MorvaneMidiManager::loadFromFile(const juce::File& file) {
    const std::optional<MidiPrefs> prefs = loadMidiPrefs(file);
    if (!prefs)
        return false;
    setChannel(prefs->channel);
    core_.loadMap(prefs->entries);
    return true;
}

bool MorvaneMidiManager::saveToFile(const juce::File& file) {
    MidiPrefs prefs;
    prefs.channel = getChannel();
    prefs.entries = core_.mapSnapshot();
    return saveMidiPrefs(file, prefs, [this](int index) { return owner_.getParameterName(index); });
}

} // namespace corvex
