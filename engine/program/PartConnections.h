// The parts' connection lists, kept where the image stores them, and the edits that post each change so
// that the kernel's copy of a list stays the same as ours.
#pragma once

#include <cstdint>

#include "engine/modules/ConnectionManager.h"
#include "engine/program/ProgramImage.h"
#include "engine/program/ProgramSender.h"

namespace corvex {

class PartConnections {
public:
    PartConnections(ProgramImage& image, ProgramSender& sender);
    PartConnections(const PartConnections&) = delete;
    PartConnections& operator=(const PartConnections&) = delete;

    // Empties every part's list without telling the kernel.
    void clearAll();
    // Replaces the part's list by the initial program's and sends it.
    void sendInitial(int section);
    // Replaces the part's list and sends it in as many chunks as a message holds.
    void send(int section, const ConnectionRecord* records, int count);

    // Each answers the record's index, or -1 when the part or the route does not exist (or, for the
    // additions, when the list refuses it).
    int find(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort) const;
    int16_t amount(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                   int destinationPort) const;
    int setAmount(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort,
                  uint16_t amount);
    int connect(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort,
                uint16_t amount, uint16_t second);
    int setDouble(int section, int sourceSlotA, int sourcePortA, int sourceSlotB, int sourcePortB, int kind,
                  int destinationSlot, int destinationPort, uint16_t amount, uint16_t second, int mode);
    int disconnect(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort);

    // The part's list, or null for a section that is no part.
    const ConnectionManager* of(int section) const;

private:
    using RecordMessage = KernelMessage (*)(int section, int recordIndex, const uint16_t* record);
    // Posts the record at the index (a negative index, a refusal, posts nothing) and answers the index.
    int postRecord(int section, int index, RecordMessage make);

    ConnectionManager& manager(int section) { return managers_[section - 1]; }
    const ConnectionManager& manager(int section) const { return managers_[section - 1]; }

    ProgramSender& sender_;
    ConnectionManager managers_[ProgramImage::kPartCount];
};

} // namespace corvex
