#include "engine/program/PartConnections.h"

#include <algorithm>

#include "engine/program/InitialProgram.h"

namespace corvex {

PartConnections::PartConnections(ProgramImage& image, ProgramSender& sender) : sender_(sender) {
    for (int section = 1; section <= ProgramImage::kPartCount; ++section)
        manager(section).attach(image.connectionRecords(section), image.connectionCountWord(section));
}

void PartConnections::clearAll() {
    for (ConnectionManager& m : managers_) m.assign(nullptr, 0);
}

void PartConnections::sendInitial(int section) {
    if (!ProgramImage::validPart(section)) return;
    // The table holds the list in its final sorted order, ties included; sorting it again would
    // reorder connections of equal key, and the last connection into an input is the one that counts.
    ConnectionRecord records[kMaxConnections];
    int n = 0;
    for (const InitialConnection& c : kInitialConnections)
        records[n++] = packConnection(0, c.destinationPort, 0, c.sourceSlot, c.sourcePort, c.destinationSlot,
                                      c.amount, c.second);
    send(section, records, n);
}

void PartConnections::send(int section, const ConnectionRecord* records, int count) {
    if (!ProgramImage::validPart(section)) return;
    count = std::clamp(count, 0, kMaxConnections);
    // The records may be the list itself, which the chunks rewrite as they arrive.
    ConnectionRecord copy[kMaxConnections];
    std::copy(records, records + count, copy);
    ConnectionManager& m = manager(section);
    const int chunkSize = KernelMessage::kMaxRecordsPerListMessage;
    int chunk = 0;
    for (int first = 0; first < count || chunk == 0; first += chunkSize, ++chunk) {
        const int n = std::min(chunkSize, count - first);
        uint16_t words[kMaxConnections * kExternalConnectionWords];
        for (int r = 0; r < n; ++r) encodeConnection(copy[first + r], words + kExternalConnectionWords * r);
        const KernelMessage message =
            KernelMessage::makeConnectionList(section, chunk, first + n >= count, words, n);
        m.setConnections(message.words + 2, n);
        sender_.post(message);
    }
}

int PartConnections::find(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                          int destinationPort) const {
    if (!ProgramImage::validPart(section)) return -1;
    return manager(section).find(sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
}

int16_t PartConnections::amount(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                                int destinationPort) const {
    const int i = find(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    return i < 0 ? 0 : static_cast<int16_t>(manager(section).record(i).amount);
}

int PartConnections::setAmount(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                               int destinationPort, uint16_t amount) {
    const int i = find(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    if (i < 0) return -1;
    manager(section).setConnectionAmount(i, amount);
    sender_.post(KernelMessage::makeConnectionAmount(section, i, amount));
    return i;
}

int PartConnections::postRecord(int section, int index, RecordMessage make) {
    if (index < 0) return index;
    uint16_t words[kExternalConnectionWords];
    encodeConnection(manager(section).record(index), words);
    sender_.post(make(section, index, words));
    return index;
}

int PartConnections::connect(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                             int destinationPort, uint16_t amount, uint16_t second) {
    if (!ProgramImage::validPart(section)) return -1;
    const int existing = find(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    if (existing >= 0) return existing;
    const int i = manager(section).addConnection(sourceSlot, sourcePort, kind, destinationSlot, destinationPort,
                                                 amount, second, 0);
    return postRecord(section, i, KernelMessage::makeAddConnection);
}

int PartConnections::setDouble(int section, int sourceSlotA, int sourcePortA, int sourceSlotB, int sourcePortB,
                               int kind, int destinationSlot, int destinationPort, uint16_t amount, uint16_t second,
                               int mode) {
    if (!ProgramImage::validPart(section)) return -1;
    const int i = manager(section).addDoubleConnection(sourceSlotA, sourcePortA, sourceSlotB, sourcePortB, kind,
                                                       destinationSlot, destinationPort, amount, second, mode);
    return postRecord(section, i, KernelMessage::makeReplaceConnection);
}

int PartConnections::disconnect(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                                int destinationPort) {
    if (!ProgramImage::validPart(section)) return -1;
    const int i = manager(section).removeConnection(sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    if (i >= 0) sender_.post(KernelMessage::makeRemoveConnection(section, i));
    return i;
}

const ConnectionManager* PartConnections::of(int section) const {
    return ProgramImage::validPart(section) ? &manager(section) : nullptr;
}

} // namespace corvex
