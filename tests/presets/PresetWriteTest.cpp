// Writes that cannot go wrong quietly: the bank folder appears on the first save, a failed save keeps the
// old file and says so, and copies never share an identifier or a file.
#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "PresetTestSupport.h"
#include "presets/PresetIdGenerator.h"

namespace corvex {
namespace {

using namespace corvex::testing;

class FrozenClock {
public:
    explicit FrozenClock(int64_t ms) { PresetIdGenerator::setClock([ms] { return ms; }); }
    ~FrozenClock() { PresetIdGenerator::setClock({}); }
};

// Later than any id the process issued so far, so the frozen time itself is the first id issued.
int64_t farFuture() { return juce::Time::currentTimeMillis() + 100000000; }

TEST(PresetWrites, ANewPresetIsWrittenIntoTheMissingBankFolder) {
    TempFolder temp;
    FakeOwner owner;
    FakeChunks chunks;
    chunks.toWrite = sampleChunkBytes();
    MorvanePreset preset(&owner, "CorvanProgram", ".cvp", temp.root());
    EXPECT_TRUE(preset.getIdentifier().startsWith("U_"));
    EXPECT_TRUE(preset.getIdentifier().substring(2).containsOnly("0123456789"));
    EXPECT_EQ(preset.getFile(), temp.root().getChildFile("User").getChildFile(preset.getIdentifier() + ".cvp"));
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"changed", "changed"}));
    EXPECT_TRUE(preset.isModified());
    EXPECT_FALSE(temp.root().getChildFile("User").exists()) << "nothing is written before a save";

    ASSERT_TRUE(preset.save(&chunks));
    EXPECT_TRUE(preset.getFile().existsAsFile());
}

TEST(PresetWrites, ASaveIntoAFolderThatCannotBeMadeFailsAndKeepsWhatWasThere) {
    TempFolder temp;
    FakeOwner owner;
    FakeChunks chunks;
    const juce::File blocker = temp.root().getChildFile("User");
    blocker.replaceWithText("not a folder");
    MorvanePreset preset(&owner, "CorvanProgram", ".cvp", temp.root());
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(preset.save(&chunks));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Cannot create folder"), std::string::npos);
    EXPECT_EQ(blocker.loadFileAsString(), "not a folder");
    EXPECT_TRUE(preset.isModified());
}

TEST(PresetWrites, AWriteThatFailsHalfwayKeepsTheOldFileAndLeavesNoTemporary) {
    TempFolder temp;
    FakeOwner owner;
    FakeChunks chunks;
    chunks.toWrite = sampleChunkBytes(200);
    MorvanePreset preset(&owner, "CorvanProgram", ".cvp", temp.root());
    ASSERT_TRUE(preset.save(&chunks));
    const std::vector<uint8_t> old = readBytes(preset.getFile());

    preset.setName("A name long enough to push the header past the limit");
    ::testing::internal::CaptureStderr();
    bool saved = true;
    {
        FileSizeLimit limit(old.size());
        saved = preset.save(&chunks);
    }
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Cannot write"), std::string::npos);
    EXPECT_FALSE(saved);
    EXPECT_EQ(readBytes(preset.getFile()), old);
    EXPECT_TRUE(preset.isModified());
    EXPECT_EQ(preset.getFile().getParentDirectory().getNumberOfChildFiles(juce::File::findFiles, "*"), 1);
}

// The limit holds for every file the process writes, captured stderr included: a test that fills the "disk"
// must leave stderr working, and the limit lifted, for the tests after it.
TEST(PresetWrites, AFullDiskInOneTestLeavesStderrAndTheLimitAsTheyWere) {
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const std::string longMessage(64, 'x');
    ::testing::internal::CaptureStderr();
    {
        FileSizeLimit limit(16);
        std::cerr << longMessage << "\n";
    }
    std::cerr << "after the limit\n";
    const std::string captured = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::cerr.good());
    EXPECT_NE(captured.find(longMessage), std::string::npos) << captured;
    EXPECT_NE(captured.find("after the limit"), std::string::npos) << captured;
    rlimit after{};
    getrlimit(RLIMIT_FSIZE, &after);
    EXPECT_EQ(after.rlim_cur, before.rlim_cur);
}

TEST(PresetWrites, TwoCopiesInOneMillisecondGiveTwoFilesWithTheirOwnIds) {
    TempFolder temp;
    FakeOwner owner;
    FakeChunks chunks;
    chunks.toWrite = sampleChunkBytes();
    const juce::File factory = temp.root().getChildFile("Factory").getChildFile("f.cvp");
    writeBytes(factory, handMadeFile("<CorvanProgram><PresetId ids=\"F_1\" name=\"Src\"/>"
                                     "<PresetAttributes Type=\"Bass\"/></CorvanProgram>",
                                     1, zlibDeflate(chunks.toWrite)));
    const MorvanePreset source(&owner, "CorvanProgram", factory);
    const juce::File dest = temp.root().getChildFile("User");

    const int64_t t = farFuture();
    FrozenClock clock(t);
    // The disk holds t + 2 already and the library t + 3: both are stepped over.
    writeBytes(dest.getChildFile("U_" + juce::String(static_cast<juce::int64>(t + 2)) + ".cvp"), {1, 2, 3});
    owner.inUse.insert("U_" + juce::String(static_cast<juce::int64>(t + 3)));

    std::vector<std::unique_ptr<MorvanePreset>> copies;
    for (int i = 0; i < 3; ++i) {
        copies.push_back(source.copyToFile(dest));
        ASSERT_NE(copies.back(), nullptr);
    }
    const juce::int64 expected[] = {t, t + 1, t + 4};
    for (size_t i = 0; i < copies.size(); ++i) {
        SCOPED_TRACE(i);
        const MorvanePreset& copy = *copies[i];
        EXPECT_EQ(copy.getIdentifier(), "U_" + juce::String(expected[i]));
        EXPECT_EQ(copy.getFile(), dest.getChildFile(copy.getIdentifier() + ".cvp"));
        EXPECT_TRUE(copy.isUserPreset());
        EXPECT_TRUE(copy.isModified());

        MorvanePreset onDisk(&owner, "CorvanProgram", copy.getFile());
        EXPECT_EQ(onDisk.getIdentifier(), copy.getIdentifier());
        EXPECT_EQ(onDisk.getName(), "Src");
        EXPECT_EQ(onDisk.getAttribute("Type"), "Bass");
        ASSERT_TRUE(onDisk.load(&chunks));
        EXPECT_EQ(chunks.reads.back(), chunks.toWrite);
    }
    EXPECT_EQ(readBytes(dest.getChildFile("U_" + juce::String(static_cast<juce::int64>(t + 2)) + ".cvp")),
              (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(dest.getNumberOfChildFiles(juce::File::findFiles, "*"), 4);
}

TEST(PresetWrites, ACopyOfAnUnsavedPresetHasNoFileYet) {
    TempFolder temp;
    FakeOwner owner;
    const MorvanePreset unsaved(&owner, "CorvanProgram", ".cvp", temp.root());
    const std::unique_ptr<MorvanePreset> copy = unsaved.copyToFile(temp.root().getChildFile("User"));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->getIdentifier(), unsaved.getIdentifier());
    EXPECT_FALSE(copy->getFile().exists());
}

TEST(PresetWrites, AnEmbeddedFileIsIdentifierSizeAndBytes) {
    TempFolder temp;
    FakeOwner owner;
    FakeChunks chunks;
    MorvanePreset preset(&owner, "CorvanProgram", ".cvp", temp.root());
    ASSERT_TRUE(preset.save(&chunks));
    juce::MemoryOutputStream out;
    ASSERT_TRUE(preset.writeFileToStream(out));

    const std::vector<uint8_t> file = readBytes(preset.getFile());
    std::vector<uint8_t> expected;
    appendText(expected, preset.getIdentifier().toStdString());
    appendInt32(expected, static_cast<int32_t>(file.size()));
    expected.insert(expected.end(), file.begin(), file.end());
    const auto* p = static_cast<const uint8_t*>(out.getData());
    EXPECT_EQ(std::vector<uint8_t>(p, p + out.getDataSize()), expected);
}

} // namespace
} // namespace corvex
