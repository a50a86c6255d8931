// The preset file byte for byte: markers, the header length with its zero, the header's key order and
// filter, the flags word and a payload that unpacks to the chunk bytes; and what a reader takes back.
#include <gtest/gtest.h>

#include <cstring>

#include "PresetTestSupport.h"

namespace corvex {
namespace {

using namespace corvex::testing;

class PresetFileLayout : public ::testing::Test {
protected:
    TempFolder temp;
    FakeOwner owner;
    FakeChunks chunks;
    juce::File file = temp.root().getChildFile("User").getChildFile("warm.cvp");

    void writeLegalFile(const std::string& header) {
        writeBytes(file, handMadeFile(header, 1, zlibDeflate(sampleChunkBytes(40))));
    }
};

TEST_F(PresetFileLayout, SavedFileFollowsTheFormatByteForByte) {
    writeLegalFile("<CorvanProgram/>");
    MorvanePreset preset(&owner, "CorvanProgram", file);
    preset.setIdentifier("U_1700000000123");
    preset.setName("Warm & <Low>");
    preset.setAttribute("Type", "Bass", true);
    preset.setAttribute("Characteristics", "Soft", true);
    preset.setAttribute("Characteristics", "Dark", true);
    chunks.toWrite = sampleChunkBytes();
    ASSERT_TRUE(preset.save(&chunks));

    const std::vector<uint8_t> bytes = readBytes(file);
    ASSERT_GT(bytes.size(), 17u);
    EXPECT_EQ(std::memcmp(bytes.data(), "XML\0", 4), 0);
    const int32_t n = int32At(bytes, 4);
    // Keys ascend (capitals before small letters), values of one key keep their order, bank keys stay out.
    const std::string header = "<CorvanProgram><PresetId ids=\"U_1700000000123\" name=\"Warm &amp; &lt;Low&gt;\"/>"
                               "<PresetAttributes Characteristics=\"Soft\"/><PresetAttributes Characteristics=\"Dark\"/>"
                               "<PresetAttributes Type=\"Bass\"/></CorvanProgram>";
    ASSERT_EQ(n, static_cast<int32_t>(header.size() + 1)) << "the length counts the header's zero";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 8), header.size()), header);
    EXPECT_EQ(bytes[8 + n - 1], 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 8 + n, "DATA\0", 5), 0);
    EXPECT_EQ(int32At(bytes, 13 + n), 1);

    // RFC 1950 header: deflate with a 32 KB window (0x78), level 9 reported as "maximum compression" (0xDA).
    const uint8_t* payload = bytes.data() + 17 + n;
    const size_t payloadSize = bytes.size() - 17 - n;
    EXPECT_EQ(payload[0], 0x78);
    EXPECT_EQ(payload[1], 0xDA);
    EXPECT_EQ(zlibInflate(payload, payloadSize, chunks.toWrite.size()), chunks.toWrite);
    EXPECT_TRUE(preset.isModified()) << "the caller clears it after a save";
}

TEST_F(PresetFileLayout, LoadGivesBackHeaderAndPayloadWithNonAsciiText) {
    const juce::String name = juce::String::fromUTF8(u8"Fl\u00e4che \u97f3 \U0001F3B9");
    const juce::String type = juce::String::fromUTF8(u8"Cl\u00e9 \u00a7");
    {
        MorvanePreset written(&owner, "CorvanProgram", file);
        written.setAttribute("Fact_User", "User", false);
        written.setIdentifier("U_42");
        written.setName(name);
        written.setAttribute("Type", type, true);
        chunks.toWrite = sampleChunkBytes();
        ASSERT_TRUE(written.save(&chunks));
    }
    MorvanePreset header(&owner, "CorvanProgram", file);
    EXPECT_EQ(header.getName(), name);
    EXPECT_EQ(header.getAttribute("Type"), type);
    EXPECT_TRUE(chunks.reads.empty()) << "constructing reads the header only";

    MorvanePreset loaded(&owner, "CorvanProgram", file);
    loaded.setModified(true);
    ASSERT_TRUE(loaded.load(&chunks));
    ASSERT_EQ(chunks.reads.size(), 1u);
    EXPECT_EQ(chunks.reads[0], chunks.toWrite);
    EXPECT_EQ(loaded.getIdentifier(), "U_42");
    EXPECT_EQ(loaded.getName(), name);
    EXPECT_FALSE(loaded.isModified());
    EXPECT_EQ(loaded.getAttribute("Fact_User"), "User");
    EXPECT_EQ(loaded.getRootFolder(), temp.root());
}

TEST_F(PresetFileLayout, ReaderTakesEveryAttributeOfAnElementAndSkipsOtherTags) {
    writeLegalFile("<CorvanProgram><Other Type=\"No\"/><PresetAttributes Type=\"Lead\" Mode=\"Mono\"/>"
                   "<PresetId ids=\"U_7\" name=\"Seven\"/><PresetAttributes Project=\"P\"/></CorvanProgram>");
    MorvanePreset preset(&owner, "CorvanProgram", file);
    EXPECT_EQ(preset.getIdentifier(), "U_7");
    EXPECT_EQ(preset.getName(), "Seven");
    juce::StringArray types;
    preset.getAttributeValues("Type", types);
    EXPECT_EQ(types, juce::StringArray("Lead"));
    EXPECT_EQ(preset.getAttribute("Mode"), "Mono");
    EXPECT_EQ(preset.getAttribute("Project"), "P");
}

TEST_F(PresetFileLayout, APlainPayloadGoesToTheChunksAsItIs) {
    writeBytes(file, handMadeFile("<CorvanProgram/>", 0, sampleChunkBytes(100)));
    MorvanePreset preset(&owner, "CorvanProgram", file);
    ASSERT_TRUE(preset.load(&chunks));
    ASSERT_EQ(chunks.reads.size(), 1u);
    EXPECT_EQ(chunks.reads[0], sampleChunkBytes(100));
}

TEST_F(PresetFileLayout, HeaderRewritesKeepTheFlagsAndPayloadBytes) {
    chunks.toWrite = sampleChunkBytes();
    MorvanePreset preset(&owner, "CorvanProgram", ".cvp", temp.root());
    preset.setAttribute("Type", "Pad", true);
    ASSERT_TRUE(preset.save(&chunks));
    const std::vector<uint8_t> before = readBytes(preset.getFile());
    const size_t oldTail = 8 + static_cast<size_t>(int32At(before, 4)) + 5;

    preset.setAttribute("Type", "Keys", true);
    preset.setName("Renamed");
    ASSERT_TRUE(preset.saveAttributes());
    const std::vector<uint8_t> after = readBytes(preset.getFile());
    const size_t newTail = 8 + static_cast<size_t>(int32At(after, 4)) + 5;
    EXPECT_EQ(std::vector<uint8_t>(after.begin() + newTail, after.end()),
              std::vector<uint8_t>(before.begin() + oldTail, before.end()));
    MorvanePreset reread(&owner, "CorvanProgram", preset.getFile());
    EXPECT_EQ(reread.getAttribute("Type"), "Keys");
    EXPECT_EQ(reread.getName(), "Renamed");
}

TEST_F(PresetFileLayout, FactoryFilesAreNeverWritten) {
    const juce::File factory = temp.root().getChildFile("Factory").getChildFile("f.cvp");
    const std::vector<uint8_t> original = handMadeFile("<CorvanProgram/>", 1, zlibDeflate(sampleChunkBytes(40)));
    writeBytes(factory, original);
    MorvanePreset preset(&owner, "CorvanProgram", factory);
    ASSERT_EQ(preset.getAttribute("Fact_User"), "Factory");
    preset.setName("Changed");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(preset.saveAttributes());
    EXPECT_FALSE(preset.save(&chunks));
    EXPECT_FALSE(preset.rewriteHeader(0, nullptr));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(readBytes(factory), original);
}

} // namespace
} // namespace corvex
