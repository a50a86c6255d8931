// Damaged preset files are refused whole: a message on stderr, no chunk read, the preset as it was and
// the file on disk untouched.
#include <gtest/gtest.h>

#include <functional>

#include "PresetTestSupport.h"

namespace corvex {
namespace {

using namespace corvex::testing;

std::vector<uint8_t> withLength(int32_t length) {
    std::vector<uint8_t> out;
    appendText(out, "XML");
    appendInt32(out, length);
    appendText(out, "<CorvanProgram/>");
    appendText(out, "DATA");
    appendInt32(out, 1);
    const std::vector<uint8_t> payload = zlibDeflate(sampleChunkBytes(64));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

struct DamagedCase {
    const char* name;
    std::function<std::vector<uint8_t>()> bytes;
};

const std::vector<DamagedCase>& damagedCases() {
    static const std::vector<DamagedCase> cases = {
        {"empty file", [] { return std::vector<uint8_t>(); }},
        {"no XML marker", [] {
             std::vector<uint8_t> b = handMadeFile("<CorvanProgram/>", 1, zlibDeflate(sampleChunkBytes(64)));
             b[2] = 'X';
             return b;
         }},
        {"only the XML marker", [] {
             std::vector<uint8_t> b;
             appendText(b, "XML");
             return b;
         }},
        {"wrong root", [] { return handMadeFile("<CorvanMulti/>", 1, zlibDeflate(sampleChunkBytes(64))); }},
        {"header not XML", [] { return handMadeFile("<CorvanProgram", 1, zlibDeflate(sampleChunkBytes(64))); }},
        {"length past the end", [] { return withLength(100000); }},
        {"huge length", [] { return withLength(0x7fffffff); }},
        {"negative length", [] { return withLength(-5); }},
        {"zero length", [] { return withLength(0); }},
        {"no DATA marker", [] {
             std::vector<uint8_t> b = handMadeFile("<CorvanProgram/>", 1, zlibDeflate(sampleChunkBytes(64)));
             b[8 + 17] = 'X';
             return b;
         }},
        {"plain payload flagged compressed", [] { return handMadeFile("<CorvanProgram/>", 1, sampleChunkBytes(64)); }},
        {"compressed payload cut short", [] {
             std::vector<uint8_t> payload = zlibDeflate(sampleChunkBytes(3000));
             payload.resize(payload.size() / 2);
             return handMadeFile("<CorvanProgram/>", 1, payload);
         }},
        {"unknown flags", [] { return handMadeFile("<CorvanProgram/>", 3, zlibDeflate(sampleChunkBytes(64))); }},
    };
    return cases;
}

TEST(PresetDamagedFiles, EachIsRefusedWithAMessageAndNothingChanges) {
    for (const DamagedCase& c : damagedCases()) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        FakeOwner owner;
        FakeChunks chunks;
        const juce::File file = temp.root().getChildFile("User").getChildFile("bad.cvp");
        const std::vector<uint8_t> original = c.bytes();
        writeBytes(file, original);

        ::testing::internal::CaptureStderr();
        MorvanePreset preset(&owner, "CorvanProgram", file);
        preset.setName("Kept");
        preset.setAttribute("Type", "Bass", true);
        preset.setModified(true);
        const bool loaded = preset.load(&chunks);
        const bool rewritten = preset.saveAttributes();
        const std::string messages = ::testing::internal::GetCapturedStderr();

        EXPECT_FALSE(loaded);
        EXPECT_FALSE(rewritten);
        EXPECT_NE(messages.find(file.getFullPathName().toStdString()), std::string::npos) << messages;
        EXPECT_TRUE(chunks.reads.empty());
        EXPECT_EQ(preset.getName(), "Kept");
        EXPECT_EQ(preset.getAttribute("Type"), "Bass");
        EXPECT_TRUE(preset.isModified());
        EXPECT_EQ(readBytes(file), original);
        EXPECT_EQ(file.getParentDirectory().getNumberOfChildFiles(juce::File::findFilesAndDirectories, "*"), 1);
    }
}

TEST(PresetDamagedFiles, APayloadTheChunksRefuseLeavesThePresetAsItWas) {
    TempFolder temp;
    FakeOwner owner;
    FakeChunks chunks;
    chunks.accept = false;
    const juce::File file = temp.root().getChildFile("User").getChildFile("p.cvp");
    writeBytes(file, handMadeFile("<CorvanProgram><PresetId ids=\"U_9\" name=\"New\"/></CorvanProgram>", 1,
                                  zlibDeflate(sampleChunkBytes(64))));
    MorvanePreset preset(&owner, "CorvanProgram", file);
    preset.setName("Old");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(preset.load(&chunks));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("refused"), std::string::npos);
    EXPECT_EQ(chunks.reads.size(), 1u);
    EXPECT_EQ(preset.getName(), "Old");
    EXPECT_TRUE(preset.isModified());
}

} // namespace
} // namespace corvex
