// The byte streams that program data is written to and read from, in little-endian 16-bit words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvex {

class WordOutputStream {
public:
    virtual ~WordOutputStream() = default;
    virtual bool writeBytes(const uint8_t* data, size_t n) = 0;

    bool writeWord(uint16_t w) {
        const uint8_t b[2] = {static_cast<uint8_t>(w & 255), static_cast<uint8_t>(w >> 8)};
        return writeBytes(b, 2);
    }
};

class WordInputStream {
public:
    virtual ~WordInputStream() = default;
    // Reads exactly n bytes, or answers false and reads nothing more.
    virtual bool readBytes(uint8_t* data, size_t n) = 0;
    virtual bool skipBytes(size_t n) = 0;
    virtual size_t remaining() const = 0;

    bool readWord(uint16_t& w) {
        uint8_t b[2];
        if (!readBytes(b, 2)) return false;
        w = static_cast<uint16_t>(b[0] | (b[1] << 8));
        return true;
    }
};

class MemoryWordOutput final : public WordOutputStream {
public:
    bool writeBytes(const uint8_t* data, size_t n) override {
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
    std::vector<uint8_t> bytes;
};

class MemoryWordInput final : public WordInputStream {
public:
    MemoryWordInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit MemoryWordInput(const std::vector<uint8_t>& v) : MemoryWordInput(v.data(), v.size()) {}

    bool readBytes(uint8_t* out, size_t n) override;
    bool skipBytes(size_t n) override;
    size_t remaining() const override { return size_ - position_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

} // namespace corvex
