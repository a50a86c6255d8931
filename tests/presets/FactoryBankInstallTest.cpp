// Installing the compiled-in factory bank: every file lands in the settings folder's "Factory" bank, a file
// already there is never touched, a failed write is reported and made good on the next start.
#include "presets/FactoryBank.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "tests/presets/PresetTestSupport.h"
#include "tests/support/CallWithin.h"

namespace corvex::testing {
namespace {

class FactoryInstall : public ::testing::Test {
protected:
    TempFolder temp;
    MorvaneFindFolder folder{temp.root(), "Corvex2"};
    juce::File bank = folder.getSettingsFolder().getChildFile("Factory");

    static std::vector<uint8_t> bytesOf(const FactoryBankFile& file) {
        const auto* p = static_cast<const uint8_t*>(file.data);
        return std::vector<uint8_t>(p, p + file.size);
    }
};

TEST_F(FactoryInstall, WritesEveryFileIntoAFolderItCreates) {
    ASSERT_FALSE(folder.getSettingsFolder().exists());
    ASSERT_GE(factoryBankFiles().size(), 2u + 48u + 16u) << "Default program and patch, 48 programs, 16 patches";
    EXPECT_TRUE(installFactoryBank(folder));
    EXPECT_EQ(factoryBankFolder(folder), bank);
    for (const FactoryBankFile& file : factoryBankFiles())
        EXPECT_EQ(readBytes(bank.getChildFile(file.name)), bytesOf(file)) << file.name;
    EXPECT_EQ(bank.findChildFiles(juce::File::findFiles, false, "*.cvp;*.cvm").size(),
              static_cast<int>(factoryBankFiles().size()));
}

TEST_F(FactoryInstall, NeverOverwritesAFileThatIsThere) {
    const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
    const juce::File edited = bank.getChildFile("Default.cvp");
    writeBytes(edited, mine);
    const juce::File folderInTheWay = bank.getChildFile(factoryBankFiles().back().name);
    ASSERT_TRUE(folderInTheWay.createDirectory());

    EXPECT_TRUE(installFactoryBank(folder));
    EXPECT_EQ(readBytes(edited), mine);
    EXPECT_TRUE(folderInTheWay.isDirectory());
    EXPECT_EQ(readBytes(bank.getChildFile("Default.cvm")), bytesOf(factoryBankFiles().front()))
        << "the files that were missing are installed";
}

TEST_F(FactoryInstall, APresetTheUserDeletedStaysDeleted) {
    ASSERT_TRUE(installFactoryBank(folder));
    const juce::File deleted = bank.getChildFile(factoryBankFiles()[5].name);
    ASSERT_TRUE(deleted.deleteFile());
    EXPECT_TRUE(installFactoryBank(folder));
    EXPECT_FALSE(deleted.exists());
}

TEST_F(FactoryInstall, AFailedWriteIsReportedAndMadeGoodNextTime) {
    ::testing::internal::CaptureStderr();
    {
        // Room for the first files only, as on a disk that fills up during the installation.
        FileSizeLimit limit(2000);
        EXPECT_FALSE(installFactoryBank(folder));
    }
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("not installed"), std::string::npos);
    int written = 0;
    for (const FactoryBankFile& file : factoryBankFiles()) {
        const juce::File target = bank.getChildFile(file.name);
        if (!target.exists()) continue;
        ++written;
        EXPECT_EQ(readBytes(target), bytesOf(file)) << "no file is left half written: " << file.name;
    }
    EXPECT_LT(written, static_cast<int>(factoryBankFiles().size()));
    EXPECT_TRUE(installFactoryBank(folder));
    for (const FactoryBankFile& file : factoryBankFiles())
        EXPECT_EQ(readBytes(bank.getChildFile(file.name)), bytesOf(file)) << file.name;
}

// The stamp is read no further than a stamp can reach: a FIFO in its place is not waited on, a huge file not
// read whole. Neither is the stamp, so the missing files are installed and a true stamp replaces it.
TEST_F(FactoryInstall, AStampThatIsNoSmallRegularFileIsNeitherWaitedOnNorReadWhole) {
    constexpr long kHugeStampBytes = 256L << 20;
    struct Case {
        const char* name;
        std::function<bool(const juce::File&)> make;
    };
    const Case cases[] = {
        {"FIFO", [](const juce::File& f) { return makeFifo(f); }},
        {"huge file",
         [](const juce::File& f) {
             // Sparse: it takes no room on disk, but reads as 256 MB.
             return f.replaceWithText("1") && ::truncate(f.getFullPathName().toRawUTF8(), kHugeStampBytes) == 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto temp = std::make_shared<TempFolder>();
        const auto settings = std::make_shared<MorvaneFindFolder>(temp->root(), "Corvex2");
        ASSERT_TRUE(installFactoryBank(*settings));
        const juce::File bankFolder = factoryBankFolder(*settings);
        const juce::File missing = bankFolder.getChildFile(factoryBankFiles()[3].name);
        const juce::File stamp = bankFolder.getChildFile(".factory-installed");
        ASSERT_TRUE(missing.deleteFile());
        ASSERT_TRUE(stamp.deleteFile());
        ASSERT_TRUE(c.make(stamp));

        const bool measured = resetPeakResident();
        const long peakBefore = peakResidentKb();
        const auto installed = callWithin(std::chrono::seconds(20), [temp, settings] {
            return installFactoryBank(*settings);
        });
        if (!installed) {
            releaseFifoReaders(stamp);
            ADD_FAILURE() << "still reading the stamp after 20 s";
            continue;
        }
        if (measured) {
            EXPECT_LT(peakResidentKb() - peakBefore, 32L * 1024) << "kB read into memory";
        }
        EXPECT_TRUE(*installed);
        EXPECT_TRUE(missing.existsAsFile());
        EXPECT_EQ(stamp.getSize(), 1);
    }
}

} // namespace
} // namespace corvex::testing
