#include "engine/modules/ConnectionRecord.h"

#include "engine/modules/ModuleSlots.h"

namespace corvex {

namespace {

bool validSlot(int slot) { return slot >= 0 && slot < kModuleSlotCount; }

uint32_t groupOf(int slot) {
    return validSlot(slot) ? kModuleSlots[static_cast<size_t>(slot)].group : 0u;
}

uint32_t withDestinationGroup(uint32_t route) {
    return (route & ~3u) | (groupOf(static_cast<int>((route >> 17) & 0x7Fu)) & 3u);
}

} // namespace

ConnectionRecord packConnection(int kind, int destinationPort, int mode, int sourceSlot, int sourcePort,
                                int destinationSlot, uint16_t amount, uint16_t second) {
    uint32_t route = groupOf(destinationSlot) & 3u;
    route |= (static_cast<uint32_t>(sourceSlot) & 0x7Fu) << 3;
    route |= (static_cast<uint32_t>(sourcePort) & 0xFu) << 10;
    route |= (static_cast<uint32_t>(mode) & 7u) << 14;
    route |= (static_cast<uint32_t>(destinationSlot) & 0x7Fu) << 17;
    route |= (static_cast<uint32_t>(destinationPort) & 0xFu) << 24;
    route |= (static_cast<uint32_t>(kind) & 0xFu) << 28;
    ConnectionRecord r;
    r.setRoute(route);
    r.amount = amount;
    r.second = second;
    return r;
}

bool connectionIsValid(int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort,
                       int mode) {
    if (!validSlot(sourceSlot) || !validSlot(destinationSlot)) return false;
    if (sourcePort < 0 || sourcePort > 15 || kind < 0 || kind > 15 || mode < 0 || mode > 7) return false;
    return destinationPort >= 0 && destinationPort < kModuleSlots[static_cast<size_t>(destinationSlot)].inputs;
}

void encodeConnection(const ConnectionRecord& r, uint16_t out[kExternalConnectionWords]) {
    auto slotAt = [](int slot) -> const ModuleSlot& {
        static const ModuleSlot kNone{0, 0, 0, -1, -1, 0};
        return validSlot(slot) ? kModuleSlots[static_cast<size_t>(slot)] : kNone;
    };
    const ModuleSlot& src = slotAt(r.sourceSlot());
    const ModuleSlot& dst = slotAt(r.destinationSlot());
    out[0] = static_cast<uint16_t>((src.group << 8) | r.flag());
    out[1] = static_cast<uint16_t>((src.instance << 8) | src.type);
    out[2] = static_cast<uint16_t>((r.destinationGroup() << 8) | r.sourcePort());
    out[3] = static_cast<uint16_t>((dst.group << 8) | r.mode());
    out[4] = static_cast<uint16_t>((dst.instance << 8) | dst.type);
    out[5] = static_cast<uint16_t>((r.kind() << 8) | r.destinationPort());
    out[6] = r.amount;
    out[7] = r.second;
}

bool decodeConnection(const uint16_t w[kExternalConnectionWords], ConnectionRecord& out) {
    const int sourceSlot = moduleSlotIndex(w[1] >> 8, w[0] >> 8, w[1] & 255);
    const int destinationSlot = moduleSlotIndex(w[4] >> 8, w[3] >> 8, w[4] & 255);
    if (sourceSlot < 0 || destinationSlot < 0) return false;
    const int flag = w[0] & 255, sourcePort = w[2] & 255, routeGroup = w[2] >> 8;
    const int mode = w[3] & 255, destinationPort = w[5] & 255, kind = w[5] >> 8;
    if (flag > 1 || routeGroup > 3) return false;
    if (!connectionIsValid(sourceSlot, sourcePort, kind, destinationSlot, destinationPort, mode)) return false;
    uint32_t route = static_cast<uint32_t>(routeGroup);
    route |= static_cast<uint32_t>(flag) << 2;
    route |= static_cast<uint32_t>(sourceSlot) << 3;
    route |= static_cast<uint32_t>(sourcePort) << 10;
    route |= static_cast<uint32_t>(mode) << 14;
    route |= static_cast<uint32_t>(destinationSlot) << 17;
    route |= static_cast<uint32_t>(destinationPort) << 24;
    route |= static_cast<uint32_t>(kind) << 28;
    out.setRoute(route);
    out.amount = w[6];
    out.second = w[7];
    return true;
}

bool sortConnections(ConnectionRecord* records, int count) {
    if (count < 0 || count > kMaxConnections) return false;
    ConnectionRecord heap[kMaxConnections + 1];
    int size = 0;
    // Max-heap, 1-based; a new record rises past parents whose key is not greater than its own.
    for (int i = 0; i < count; ++i) {
        ConnectionRecord r = records[i];
        r.setRoute(withDestinationGroup(r.route()));
        int k = ++size;
        while (k > 1 && heap[k / 2].key() <= r.key()) {
            heap[k] = heap[k / 2];
            k /= 2;
        }
        heap[k] = r;
    }
    // Take the largest off the top; the sinking record passes children whose key is not smaller.
    while (size > 0) {
        const ConnectionRecord top = heap[1];
        const ConnectionRecord x = heap[size];
        heap[size] = top;
        --size;
        int k = 1;
        while (2 * k <= size) {
            int c = 2 * k;
            if (c + 1 <= size && heap[c + 1].key() >= heap[c].key()) ++c;
            if (heap[c].key() < x.key()) break;
            heap[k] = heap[c];
            k = c;
        }
        if (size > 0) heap[k] = x;
    }
    for (int i = 0; i < count; ++i) records[i] = heap[i + 1];
    return true;
}

} // namespace corvex
