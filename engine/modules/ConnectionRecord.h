// One route of a part's wiring, in its packed internal form and its eight-word external form.
#pragma once

#include <cstdint>

namespace corvex {

constexpr int kMaxConnections = 96;
constexpr int kExternalConnectionWords = 8;

// Route bits: 0..1 destination group, 2 flag, 3..9 source slot, 10..13 source port, 14..16 mode,
// 17..23 destination slot, 24..27 destination port, 28..31 kind. Stored as four little-endian
// words so that it can live inside a program's word image.
struct ConnectionRecord {
    uint16_t routeLow = 0;
    uint16_t routeHigh = 0;
    uint16_t amount = 0;
    uint16_t second = 0;

    uint32_t route() const { return static_cast<uint32_t>(routeLow) | (static_cast<uint32_t>(routeHigh) << 16); }
    void setRoute(uint32_t r) {
        routeLow = static_cast<uint16_t>(r & 0xFFFF);
        routeHigh = static_cast<uint16_t>(r >> 16);
    }

    int destinationGroup() const { return static_cast<int>(route() & 3u); }
    int flag() const { return static_cast<int>((route() >> 2) & 1u); }
    int sourceSlot() const { return static_cast<int>((route() >> 3) & 0x7Fu); }
    int sourcePort() const { return static_cast<int>((route() >> 10) & 0xFu); }
    int mode() const { return static_cast<int>((route() >> 14) & 7u); }
    int destinationSlot() const { return static_cast<int>((route() >> 17) & 0x7Fu); }
    int destinationPort() const { return static_cast<int>((route() >> 24) & 0xFu); }
    int kind() const { return static_cast<int>((route() >> 28) & 0xFu); }

    void setMode(int mode) { setRoute((route() & ~(7u << 14)) | ((static_cast<uint32_t>(mode) & 7u) << 14)); }

    // Ascending order of this key keeps all connections into one module together, by input port.
    uint32_t key() const {
        return (static_cast<uint32_t>(destinationGroup()) << 24) + (static_cast<uint32_t>(destinationSlot()) << 16) +
               (static_cast<uint32_t>(destinationPort()) << 8) + static_cast<uint32_t>(kind());
    }

    bool sameRoute(int srcSlot, int srcPort, int kindValue, int dstSlot, int dstPort) const {
        return sourceSlot() == srcSlot && sourcePort() == srcPort && kind() == kindValue &&
               destinationSlot() == dstSlot && destinationPort() == dstPort;
    }

    bool operator==(const ConnectionRecord& o) const {
        return routeLow == o.routeLow && routeHigh == o.routeHigh && amount == o.amount && second == o.second;
    }
};

static_assert(sizeof(ConnectionRecord) == 8, "a record is four words of the program image");

ConnectionRecord packConnection(int kind, int destinationPort, int mode, int sourceSlot, int sourcePort,
                                int destinationSlot, uint16_t amount, uint16_t second);

// The one rule for what a route may name, applied by the program before it records an edit and by
// the kernel when it decodes one: were the two to differ, their lists would drift apart and every
// later edit by index would land on the wrong record. Both slots exist, the fields fit their bits,
// and the destination slot has the input port (a port beyond its inputs would count into another
// slot's).
bool connectionIsValid(int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort,
                       int mode);

// The external form names slots by (group, type, instance) so that stored parts survive slot renumbering.
void encodeConnection(const ConnectionRecord& record, uint16_t out[kExternalConnectionWords]);
// False when either slot does not resolve, the route breaks connectionIsValid, or the flag or the
// route group does not fit its bits; `out` is then unspecified.
bool decodeConnection(const uint16_t words[kExternalConnectionWords], ConnectionRecord& out);

// Sorts by key with a heap sort whose order among equal keys stored parts depend on; also sets
// each record's destination group from its slot. Refuses (false) more than 96 records.
bool sortConnections(ConnectionRecord* records, int count);

} // namespace corvex
