// Free-list handling of the block buffer store and the port operations built on it.
#include "engine/modules/BlockBufferStore.h"

#include <cstring>

namespace corvex {

namespace {
constexpr uint16_t kEndOfChain = 0xFFFF;
}

void BlockBufferStore::init() {
    freeHead = 0;
    for (int i = 0; i < kCapacity; ++i) {
        next[i] = (i + 1 < kCapacity) ? static_cast<uint16_t>(i + 1) : kEndOfChain;
        ownIndex[i] = static_cast<uint16_t>(i);
        std::memset(blocks[i], 0, sizeof(blocks[i]));
    }
}

int BlockBufferStore::freeCount() const {
    int n = 0;
    for (int i = freeHead; i >= 0 && n <= kCapacity; ++n) {
        const uint16_t following = next[i];
        i = (following == kEndOfChain) ? -1 : following;
    }
    return n;
}

void clearPortBuffer(PortEntry& port) {
    if (float* d = portBuffer(port)) std::memset(d, 0, sizeof(float) * kBlockFrames);
    port.word &= ~PortEntry::kClearPending;
}

void acquirePortBuffer(PortEntry& port) {
    uint32_t users = port.users();
    if (users == 0) {
        BlockBufferStore* store = port.store;
        int head = store ? store->freeHead : -1;
        port.bufferIndex = static_cast<int16_t>(head);
        if (head >= 0) {
            uint16_t next = store->next[head];
            store->freeHead = (next == kEndOfChain) ? -1 : next;
        }
        clearPortBuffer(port);
    }
    // The count saturates instead of wrapping: a wrapped count would free a buffer still in use.
    if (users < 0xFFFFu) port.setUsers(users + 1);
}

void releasePortUser(PortEntry& port) {
    uint32_t users = port.users();
    if (users == 0) return;
    port.setUsers(users - 1);
    if (users == 1 && port.bufferIndex >= 0 && port.store != nullptr) {
        BlockBufferStore* store = port.store;
        int index = port.bufferIndex;
        store->next[index] = static_cast<uint16_t>(store->freeHead & 0xFFFF);
        store->freeHead = store->ownIndex[index];
        port.bufferIndex = -1;
    }
}

} // namespace corvex
