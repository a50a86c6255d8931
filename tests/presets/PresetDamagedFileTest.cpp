// Damaged preset files are refused whole: a message on stderr, no chunk read, the preset as it was and
// the file on disk untouched.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "PresetTestSupport.h"
#include "presets/PresetPayload.h"
#include "tests/support/CallWithin.h"

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

// A FIFO or a device in the place of a preset file is refused at once by every reader of preset files: none
// waits for a writer, none reads without end.
TEST(PresetDamagedFiles, WhatIsNoRegularFileIsRefusedAtOnce) {
    struct Case {
        const char* name;
        std::function<bool(const juce::File&)> make;
    };
    const Case cases[] = {
        {"FIFO", [](const juce::File& f) { return makeFifo(f); }},
        {"link to /dev/zero", [](const juce::File& f) { return makeSymlink(f, "/dev/zero"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Shared with the call, which may outlive the test when it never returns.
        const auto temp = std::make_shared<TempFolder>();
        const juce::File file = temp->root().getChildFile("User").getChildFile("odd.cvp");
        ASSERT_TRUE(c.make(file));

        ::testing::internal::CaptureStderr();
        const auto results = callWithin(std::chrono::seconds(20), [temp, file] {
            FakeOwner owner;
            FakeChunks chunks;
            MorvanePreset preset(&owner, "CorvanProgram", file);
            juce::MemoryOutputStream embedded;
            const bool loaded = preset.load(&chunks);
            const bool rewritten = preset.saveAttributes();
            const bool copied = preset.copyToFile(temp->root().getChildFile("Copies")) != nullptr;
            const bool embeddedWhole = preset.writeFileToStream(embedded);
            return std::vector<bool>{loaded, rewritten, copied, embeddedWhole, !chunks.reads.empty()};
        });
        const std::string messages = ::testing::internal::GetCapturedStderr();
        if (!results) {
            releaseFifoReaders(file);
            ADD_FAILURE() << "still reading after 20 s";
            continue;
        }
        EXPECT_EQ(*results, std::vector<bool>(5, false));
        EXPECT_NE(messages.find(file.getFullPathName().toStdString() + " is not a regular file"), std::string::npos)
            << messages;
    }
}

// A payload may be a tiny zlib stream that unpacks to far more than any chunk stream: it is refused as too
// large, which is what the user is told, rather than as damaged.
TEST(PresetDamagedFiles, APayloadUnpackingPastTheLimitIsCalledTooLarge) {
    TempFolder temp;
    FakeOwner owner;
    FakeChunks chunks;
    const juce::File file = temp.root().getChildFile("User").getChildFile("bomb.cvp");
    writeBytes(file, handMadeFile("<CorvanProgram/>", 1, zlibDeflate(std::vector<uint8_t>(kMaxPayloadBytes + 1), Z_BEST_SPEED)));
    MorvanePreset preset(&owner, "CorvanProgram", file);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(preset.load(&chunks));
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("too large"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("damaged"), std::string::npos) << messages;
    EXPECT_TRUE(chunks.reads.empty());
}

} // namespace
} // namespace corvex
