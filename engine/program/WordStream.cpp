#include "engine/program/WordStream.h"

#include <cstring>

namespace corvex {

bool MemoryWordInput::readBytes(uint8_t* out, size_t n) {
    if (n > remaining()) {
        position_ = size_;
        return false;
    }
    if (n > 0) std::memcpy(out, data_ + position_, n);
    position_ += n;
    return true;
}

bool MemoryWordInput::skipBytes(size_t n) {
    if (n > remaining()) {
        position_ = size_;
        return false;
    }
    position_ += n;
    return true;
}

} // namespace corvex
