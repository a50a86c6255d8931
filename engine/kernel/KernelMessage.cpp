#include "engine/kernel/KernelMessage.h"

#include <algorithm>
#include <cstring>

namespace corvex {

// Only the valid words are copied: most messages are a few words of a 510-word array.
void KernelMessage::copyFrom(const KernelMessage& other) {
    const int n = std::clamp(other.wordCount, 0, kMaxWords);
    std::memcpy(words, other.words, sizeof(uint16_t) * static_cast<size_t>(n));
    size = other.size;
    wordCount = n;
    messageClass = other.messageClass;
}

} // namespace corvex
