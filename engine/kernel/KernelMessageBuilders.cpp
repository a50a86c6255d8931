// The builders of the messages that the kernel program posts.
#include <algorithm>
#include <cstring>

#include "engine/kernel/KernelMessage.h"
#include "engine/modules/ModuleTypes.h"

namespace corvex {

namespace {
uint16_t headWord(int target, int type) { return static_cast<uint16_t>(((target & 255) << 8) | (type & 255)); }
uint16_t bytes(int hi, int lo) { return static_cast<uint16_t>(((hi & 255) << 8) | (lo & 255)); }
} // namespace

KernelMessage KernelMessage::fromCommand(int target, int type) {
    KernelMessage m;
    m.words[0] = headWord(target, type);
    m.words[1] = 0;
    m.finish(2, CommandOrWordPair);
    return m;
}

KernelMessage KernelMessage::fromWordPair(uint16_t word0, uint16_t word1) {
    KernelMessage m;
    m.words[0] = word0;
    m.words[1] = word1;
    m.finish(2, CommandOrWordPair);
    return m;
}

KernelMessage KernelMessage::makeParameterSet(int section, int moduleType, int group, int instance, int wordIndex,
                                              uint16_t value) {
    KernelMessage m;
    m.words[0] = headWord(section, MessageType::SetParameter);
    m.words[1] = bytes(moduleType, group);
    m.words[2] = bytes(wordIndex, instance);
    m.words[3] = value;
    m.finish(4, ParameterSet);
    return m;
}

KernelMessage KernelMessage::makeConnectionAmount(int section, int recordIndex, uint16_t amount) {
    KernelMessage m;
    m.words[0] = headWord(section, MessageType::SetConnectionAmount);
    m.words[1] = bytes(recordIndex, 0);
    m.words[2] = amount;
    m.words[3] = 0;
    m.finish(4, ConnectionAmount);
    return m;
}

KernelMessage KernelMessage::makeModuleData(int section, int moduleType, int group, int instance,
                                            const uint16_t* block, int blockWords) {
    KernelMessage m;
    blockWords = std::clamp(blockWords, 0, kMaxWords - 4);
    const int length = blockWords + 4;
    m.words[0] = headWord(section, MessageType::ModuleData);
    m.words[1] = bytes(moduleType, group);
    m.words[2] = bytes(length <= 255 ? length : 0, instance);
    m.words[3] = 1;
    if (blockWords > 0) std::memcpy(m.words + 4, block, sizeof(uint16_t) * static_cast<size_t>(blockWords));
    m.finish(length, ModuleData);
    return m;
}

KernelMessage KernelMessage::makeConnectionList(int section, int chunkIndex, bool last, const uint16_t* records,
                                                int recordCount) {
    KernelMessage m;
    recordCount = std::clamp(recordCount, 0, kMaxRecordsPerListMessage);
    const bool first = chunkIndex == 0;
    // The length byte is the true length of this chunk; only the first carries the block header.
    const int length = 4 + (first ? 3 : 0) + 8 * recordCount;
    m.words[0] = headWord(section, MessageType::ModuleData);
    m.words[1] = bytes(ModuleType::ConnectionList, 1);
    m.words[2] = bytes(length, 0);
    m.words[3] = bytes(chunkIndex, last ? 1 : 0);
    int n = 4;
    if (first) {
        m.words[n++] = 0x01A0;
        m.words[n++] = 50;
        m.words[n++] = static_cast<uint16_t>(8 * recordCount + 3);
    }
    if (recordCount > 0)
        std::memcpy(m.words + n, records, sizeof(uint16_t) * 8 * static_cast<size_t>(recordCount));
    m.finish(length, ConnectionList);
    return m;
}

namespace {
KernelMessage connectionEdit(int type, int section, int recordIndex, const uint16_t* record,
                             KernelMessage::Class builder) {
    KernelMessage m = KernelMessage::fromWordPair(headWord(section, type), bytes(recordIndex, 0));
    int n = 2;
    if (record) {
        std::memcpy(m.words + 2, record, sizeof(uint16_t) * 8);
        n = 10;
    }
    m.wordCount = n;
    m.size = (n + 1) / 2;
    m.messageClass = builder;
    return m;
}
} // namespace

KernelMessage KernelMessage::makeAddConnection(int section, int recordIndex, const uint16_t* record) {
    return connectionEdit(MessageType::InsertConnection, section, recordIndex, record, ConnectionInsert);
}

KernelMessage KernelMessage::makeReplaceConnection(int section, int recordIndex, const uint16_t* record) {
    return connectionEdit(MessageType::ReplaceConnection, section, recordIndex, record, ConnectionReplace);
}

KernelMessage KernelMessage::makeRemoveConnection(int section, int recordIndex) {
    return connectionEdit(MessageType::RemoveConnection, section, recordIndex, nullptr, ConnectionRemove);
}

// The status byte travels in the target byte of a MIDI-event message: controller 123 of the part's channel.
KernelMessage KernelMessage::makeControlChange(int part) {
    KernelMessage m = fromWordPair(headWord(0xB0 | (part & 15), MessageType::MidiEvent), bytes(0, 123));
    m.messageClass = ControlChange;
    return m;
}

} // namespace corvex
