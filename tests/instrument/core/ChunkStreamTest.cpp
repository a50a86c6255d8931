// The chunk container byte by byte, its reader's diagnostics and its refusals, and the word streams laid
// over a payload.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "instrument/state/CacheEntries.h"
#include "instrument/state/ChunkStream.h"
#include "instrument/state/PresetStreams.h"

namespace corvex::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// An 'info' chunk naming version 2 and an 'end ' chunk, written out by hand from the format.
const Bytes kMinimalStream = {
    0x6B, 0x68, 0x63, 0x61,                         // magic
    0x6F, 0x66, 0x6E, 0x69,                         // 'info'
    0x0C, 0x00, 0x00, 0x00,                         // 12 payload bytes
    'v',  'e',  'r',  's',  'i', 'o', 'n', 0x00,    // "version"
    0x02, 0x00, 0x00, 0x00,                         // format version 2
    0x6B, 0x68, 0x63, 0x61,                         // magic
    0x20, 0x64, 0x6E, 0x65,                         // 'end '
    0x00, 0x00, 0x00, 0x00,                         // empty
};

TEST(ChunkStream, WritesTheMinimalStreamByteForByte) {
    Bytes out;
    ChunksWriter writer(out);
    writeInfoChunk(writer);
    writer.closeChunk(ChunkId::kEnd);
    EXPECT_EQ(out, kMinimalStream);
}

TEST(ChunkStream, ReadsTheMinimalStreamBack) {
    ChunksReader reader(kMinimalStream.data(), kMinimalStream.size());
    int id = 0;
    Bytes payload;
    ASSERT_EQ(reader.readChunk(id, payload), 0);
    EXPECT_EQ(id, 0x696E666F);
    int version = -1;
    ASSERT_TRUE(readInfoVersion(payload, version));
    EXPECT_EQ(version, 2);
    ASSERT_EQ(reader.readChunk(id, payload), 0);
    EXPECT_EQ(id, 0x656E6420);
    EXPECT_TRUE(payload.empty());
    EXPECT_EQ(reader.readChunk(id, payload), -1);
    EXPECT_FALSE(reader.malformed()) << "a clean end between chunks is not a fault";
}

TEST(ChunkStream, FourGarbageBytesCostOneDiagnosticAndNothingElse) {
    Bytes data = {0xDE, 0xAD, 0xBE, 0xEF};
    data.insert(data.end(), kMinimalStream.begin(), kMinimalStream.end());
    ::testing::internal::CaptureStderr();
    std::vector<Chunk> chunks;
    const bool ok = readChunkList(data.data(), data.size(), chunks);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(ok);
    EXPECT_EQ(err, "Chunk Reader : not a chunk EFBEADDE != 6163686B\n");
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].id, ChunkId::kInfo);
    EXPECT_EQ(chunks[1].id, ChunkId::kEnd);
}

TEST(ChunkStream, ReadsNothingFromNoData) {
    std::vector<Chunk> chunks;
    EXPECT_TRUE(readChunkList(nullptr, 0, chunks));
    EXPECT_TRUE(chunks.empty());
}

// A chunk header followed by the given size word and payload bytes.
Bytes chunkWithSize(uint32_t size, size_t payloadBytes) {
    Bytes b = {0x6B, 0x68, 0x63, 0x61, 0x67, 0x6F, 0x72, 0x70};
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(size >> (8 * i)));
    b.resize(b.size() + payloadBytes, 0x55);
    return b;
}

TEST(ChunkStream, RefusesBrokenContainers) {
    Bytes garbageThenChunk = {1, 2, 3, 4, 5};
    garbageThenChunk.insert(garbageThenChunk.end(), kMinimalStream.begin(), kMinimalStream.end());
    Bytes trailingBytes = chunkWithSize(2, 2);
    trailingBytes.push_back(0x6B);
    trailingBytes.push_back(0x68);
    const struct Case {
        const char* name;
        Bytes data;
    } cases[] = {
        {"negative size", chunkWithSize(0xFFFFFFFFu, 16)},
        {"most negative size", chunkWithSize(0x80000000u, 16)},
        {"huge size", chunkWithSize(0x7FFFFFFFu, 16)},
        {"size past the end by one", chunkWithSize(9, 8)},
        {"header cut after the id", Bytes(kMinimalStream.begin(), kMinimalStream.begin() + 8)},
        {"garbage not a multiple of four", garbageThenChunk},
        {"two bytes after the last chunk", trailingBytes},
        {"only garbage", Bytes{9, 9, 9, 9, 9, 9, 9, 9}},
    };
    for (const Case& c : cases) {
        ::testing::internal::CaptureStderr();
        std::vector<Chunk> chunks;
        const bool ok = readChunkList(c.data.data(), c.data.size(), chunks);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(ok) << c.name;
        EXPECT_NE(err.find("Chunk Reader : stream broken"), std::string::npos) << c.name << ": " << err;
    }
}

TEST(ChunkStream, ATruncatedChunkIsNotHandedOut) {
    const Bytes data = chunkWithSize(100, 10);
    ChunksReader reader(data.data(), data.size());
    int id = 7;
    Bytes payload = {1, 2, 3};
    EXPECT_EQ(reader.readChunk(id, payload), -1);
    EXPECT_TRUE(reader.malformed());
    EXPECT_EQ(id, 7);
    EXPECT_TRUE(reader.isExhausted());
}

TEST(PresetStreams, WordsAreLittleEndianAndEndsAreReported) {
    Bytes bytes;
    MVPresetOutputStream out(bytes);
    EXPECT_EQ(out.writeShort(int16_t{-2}), 0);
    const uint8_t raw[3] = {0x12, 0x34, 0x56};
    EXPECT_EQ(out.write(raw, 3), 0);
    EXPECT_EQ(bytes, (Bytes{0xFE, 0xFF, 0x12, 0x34, 0x56}));

    MVPresetInputStream in(bytes);
    int16_t v = 0;
    EXPECT_EQ(in.readShort(v), 0);
    EXPECT_EQ(v, -2);
    EXPECT_EQ(in.skip(1), 0);
    uint8_t buffer[4] = {};
    EXPECT_EQ(in.read(buffer, 4), -1) << "two bytes left, four asked";
    EXPECT_TRUE(in.isExhausted());
    EXPECT_EQ(in.readShort(v), 0);
    EXPECT_EQ(v, 0) << "past the end a short reads as 0";
    EXPECT_EQ(in.skip(1), -1);
}

} // namespace
} // namespace corvex::testing
