// The chunk container that layer and patch state is saved in: magic, four-character id, payload size and
// payload, little-endian, one chunk after another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvex {

// A four-character code read as a big-endian number.
constexpr int32_t fourCharCode(const char (&c)[5]) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(c[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<uint8_t>(c[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<uint8_t>(c[2])) << 8) |
                                static_cast<uint32_t>(static_cast<uint8_t>(c[3])));
}

namespace ChunkId {
constexpr int32_t kMagic = 0x6163686B;
constexpr int32_t kInfo = fourCharCode("info");
constexpr int32_t kProg = fourCharCode("prog");
constexpr int32_t kCach = fourCharCode("cach");
constexpr int32_t kMult = fourCharCode("mult");
constexpr int32_t kCmul = fourCharCode("cmul");
constexpr int32_t kEnd = fourCharCode("end ");
} // namespace ChunkId

// Reads chunks from bytes that came from a file or a host: nothing in them is trusted.
class ChunksReader {
public:
    ChunksReader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

    // 0 with the next chunk's id and payload, -1 at the end of the data or at a chunk that cannot be read.
    // Words before a magic are skipped one at a time, each with a line on stderr.
    int readChunk(int& id, std::vector<uint8_t>& payload);
    // Whether the last -1 came from broken data (a cut chunk, a bad size, garbage to the end) rather than
    // from a clean end between chunks.
    bool malformed() const { return malformed_; }
    bool isExhausted() const { return position_ >= size_; }

private:
    bool readInt32(int32_t& v);
    int fail();

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool malformed_ = false;
};

// Writes chunks to a byte vector; the caller fills payload() and then closes the chunk under its id.
class ChunksWriter {
public:
    explicit ChunksWriter(std::vector<uint8_t>& out) : out_(out) { payload_.reserve(256); }

    std::vector<uint8_t>& payload() { return payload_; }
    void closeChunk(int32_t id);

private:
    std::vector<uint8_t>& out_;
    std::vector<uint8_t> payload_;
};

// A stream read whole before any of it is applied, so that a broken stream changes nothing.
struct Chunk {
    int32_t id = 0;
    std::vector<uint8_t> payload;
};

// The chunks up to and including 'end ' (or up to a clean end of the data). False, with a line on stderr,
// when the container is broken anywhere.
bool readChunkList(const uint8_t* data, size_t size, std::vector<Chunk>& chunks);

} // namespace corvex
