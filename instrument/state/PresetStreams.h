// The word streams that the kernel program writes its part and block data through, laid over a chunk's
// payload. Each holds a pointer to the bytes and owns nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/program/WordStream.h"

namespace corvex {

class MVPresetOutputStream final : public WordOutputStream {
public:
    explicit MVPresetOutputStream(std::vector<uint8_t>& out) : out_(&out) {}

    int writeShort(int16_t v) {
        writeWord(static_cast<uint16_t>(v));
        return 0;
    }
    int write(const void* data, size_t n) { return writeBytes(static_cast<const uint8_t*>(data), n) ? 0 : -1; }

    bool writeBytes(const uint8_t* data, size_t n) override {
        out_->insert(out_->end(), data, data + n);
        return true;
    }

private:
    std::vector<uint8_t>* out_;
};

class MVPresetInputStream final : public WordInputStream {
public:
    explicit MVPresetInputStream(const std::vector<uint8_t>& in) : data_(&in) {}

    // Past the end a short reads as 0.
    int readShort(int16_t& out) {
        uint16_t w = 0;
        out = readWord(w) ? static_cast<int16_t>(w) : int16_t{0};
        return 0;
    }
    bool isExhausted() const { return remaining() == 0; }
    int read(void* buffer, size_t n) { return readBytes(static_cast<uint8_t*>(buffer), n) ? 0 : -1; }
    int skip(size_t n) { return skipBytes(n) ? 0 : -1; }

    bool readBytes(uint8_t* out, size_t n) override {
        if (n > remaining()) {
            position_ = data_->size();
            return false;
        }
        if (n > 0) std::memcpy(out, data_->data() + position_, n);
        position_ += n;
        return true;
    }
    bool skipBytes(size_t n) override {
        if (n > remaining()) {
            position_ = data_->size();
            return false;
        }
        position_ += n;
        return true;
    }
    size_t remaining() const override { return data_->size() - position_; }

private:
    const std::vector<uint8_t>* data_;
    size_t position_ = 0;
};

} // namespace corvex
