// Little-endian byte streams for chunk payloads: 32-bit integers, floats and zero-terminated UTF-8 strings.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace corvex {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

    void writeInt32(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8) out_.push_back(static_cast<uint8_t>(u >> shift));
    }
    void writeFloat(float v) {
        uint32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        writeInt32(static_cast<int32_t>(bits));
    }
    void writeString(const std::string& s) {
        out_.insert(out_.end(), s.begin(), s.end());
        out_.push_back(0);
    }

private:
    std::vector<uint8_t>& out_;
};

// Every read answers false, and leaves the position where it was, when the rest of the data is too short:
// a truncated payload ends at its last whole value.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}
    explicit ByteReader(const std::vector<uint8_t>& data) : ByteReader(data.data(), data.size()) {}

    bool exhausted() const { return position_ >= size_; }
    size_t position() const { return position_; }
    void seek(size_t position) { position_ = position < size_ ? position : size_; }

    bool readInt32(int32_t& v) {
        if (size_ - position_ < 4) return false;
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(data_[position_ + i]) << (8 * i);
        position_ += 4;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool readFloat(float& v) {
        int32_t bits = 0;
        if (!readInt32(bits)) return false;
        std::memcpy(&v, &bits, sizeof v);
        return true;
    }
    bool readString(std::string& s) {
        // An empty chunk may come with no memory at all, and memchr must never see a null pointer.
        if (position_ >= size_) return false;
        const void* end = std::memchr(data_ + position_, 0, size_ - position_);
        if (end == nullptr) return false;
        const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(end) - (data_ + position_));
        s.assign(reinterpret_cast<const char*>(data_ + position_), length);
        position_ += length + 1;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

} // namespace corvex
