#include "instrument/state/ChunkStream.h"

#include <cstdio>
#include <cstring>

#include "instrument/params/ByteStream.h"

namespace corvex {

bool ChunksReader::readInt32(int32_t& v) {
    if (size_ - position_ < 4) return false;
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(data_[position_ + i]) << (8 * i);
    position_ += 4;
    v = static_cast<int32_t>(u);
    return true;
}

int ChunksReader::fail() {
    malformed_ = true;
    position_ = size_;
    return -1;
}

int ChunksReader::readChunk(int& id, std::vector<uint8_t>& payload) {
    malformed_ = false;
    if (isExhausted()) return -1;
    for (;;) {
        int32_t word = 0;
        // A tail shorter than a word can never hold the magic.
        if (!readInt32(word)) return fail();
        if (word == ChunkId::kMagic) break;
        std::fprintf(stderr, "Chunk Reader : not a chunk %X != %X\n", static_cast<unsigned>(word),
                     static_cast<unsigned>(ChunkId::kMagic));
        if (isExhausted()) return fail();
    }
    int32_t chunkId = 0;
    int32_t size = 0;
    if (!readInt32(chunkId) || !readInt32(size)) return fail();
    // Checked before anything is allocated: a size is only believed when the bytes are there.
    if (size < 0 || static_cast<size_t>(size) > size_ - position_) return fail();
    payload.assign(data_ + position_, data_ + position_ + size);
    position_ += static_cast<size_t>(size);
    id = chunkId;
    return 0;
}

void ChunksWriter::closeChunk(int32_t id) {
    ByteWriter w(out_);
    w.writeInt32(ChunkId::kMagic);
    w.writeInt32(id);
    w.writeInt32(static_cast<int32_t>(payload_.size()));
    out_.insert(out_.end(), payload_.begin(), payload_.end());
    payload_.clear();
}

bool readChunkList(const uint8_t* data, size_t size, std::vector<Chunk>& chunks) {
    chunks.clear();
    ChunksReader reader(data, size);
    for (;;) {
        Chunk c;
        int id = 0;
        if (reader.readChunk(id, c.payload) != 0) {
            if (!reader.malformed()) return true;
            std::fprintf(stderr, "Chunk Reader : stream broken after %zu chunks\n", chunks.size());
            return false;
        }
        c.id = id;
        chunks.push_back(std::move(c));
        if (id == ChunkId::kEnd) return true;
    }
}

} // namespace corvex
