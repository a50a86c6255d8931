// "presetCache.dat": what is written reads back the same, lines that are no record of ours make the file
// untrusted, and a failed write leaves the old file.
#include "presetmap/PresetMapCache.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "tests/presets/PresetTestSupport.h"

namespace corvex {
namespace {

using testing::TempFolder;

PresetMapRecord record(int64_t key, int32_t type, float x, float y, std::string_view name, std::string_view author,
                       uint8_t flagA = 0, uint8_t flagB = 0) {
    PresetMapRecord r;
    r.key = key;
    r.type = type;
    r.x = x;
    r.y = y;
    r.flagA = flagA;
    r.flagB = flagB;
    r.setName(name);
    r.setAuthor(author);
    return r;
}

std::string pathOf(const juce::File& file) { return file.getFullPathName().toStdString(); }

TEST(PresetMapCache, WhatIsWrittenReadsBackTheSame) {
    const PresetMapRecords records{
        record(5, 2, 10.5f, 20.25f, "Name", "Me"),
        record(1700000000123, 11, 511.123456f, 1e-7f, "Bass & Piano", "A. Person, Esq.", 1, 0),
        record(7, 0, 1023.0f, 0.0f, "100% wet,dry", "", 0, 1),
        record(8, 3, -3.25f, 1022.99994f, "Flûte d'été \t tab", "Ünïcödé"),
        record(9, 9, 0.1f, 0.2f, "a name of 23 bytes ....", "an author of 23 bytes ."),
        record(10, 4, 3.0f, 4.0f, "", ""),
    };
    TempFolder temp;
    // The settings folder does not exist yet: the writer makes it.
    const juce::File file = temp.root().getChildFile("Save").getChildFile("presetCache.dat");
    ASSERT_TRUE(writePresetMapCache(pathOf(file), records));

    PresetMapRecords read{record(99, 1, 0, 0, "stale", "")};
    EXPECT_EQ(readPresetMapCache(pathOf(file), read), PresetCacheRead::kRead);
    EXPECT_EQ(read, records);
    // One line per record, numbers in a form every locale reads alike.
    EXPECT_EQ(formatPresetMapCache({records[0]}), "5,2,1.05000000e+01,2.02500000e+01,0,0,Name,Me\n");
}

TEST(PresetMapCache, NamesAreCutToTheirFieldWithoutSplittingACharacter) {
    PresetMapRecord r;
    r.setName("a much longer name than twenty-four bytes");
    EXPECT_EQ(r.getName(), "a much longer name than");
    r.setAuthor("ééééééééééééé"); // 26 bytes: the twelfth é would end at byte 24
    EXPECT_EQ(r.getAuthor(), "ééééééééééé");
}

TEST(PresetMapCache, EachLineIsTakenOrRefusedAsAFormattedScanWould) {
    struct Case {
        const char* line;
        bool taken;
        std::string name, author; // when taken
        int64_t key = 0;
    };
    const std::string longAuthor(280, 'A');
    const std::string leadingBlanks(250, ' ');
    const std::vector<Case> cases{
        {"5,2,1.05e+01,2.025e+01,0,0,Name,Me", true, "Name", "Me", 5},
        {"5,2,1.05e+01,2.025e+01,0,0,NoComma", true, "NoComma", "", 5},
        {"5,2,1.05e+01,2.025e+01,0,0,Warm Pad,Me", true, "Warm", "", 5},
        {"5,2,1.05e+01,2.025e+01,0,0,Name,Two Words", true, "Name", "Two", 5},
        {"  +5, 2, 10.5, 20, 1, 0,Name,Me", true, "Name", "Me", 5},
        {"5,2,10,20,0,0,Name,Me\r", true, "Name", "Me", 5},
        {"5,2,10,20,0,0,A%2C%20B%25,%zz", true, "A, B%", "%zz", 5},
        {"5,2,10,20,0,0,abcdefghijklmnopqrstuvwxyz0123,Me", true, "abcdefghijklmnopqrstuvw", "Me", 5},
        {"5,2,10,20,0,0,Name,", true, "Name", "", 5},
        {"", false, "", ""},
        {"5,2,10,20,0,0,", false, "", ""},
        {"5,2,10,20,0,0, ", false, "", ""},
        {"5;2;10;20;0;0;Name;Me", false, "", ""},
        {"5,2,10,20,0,Name,Me", false, "", ""},
        {"five,2,10,20,0,0,Name,Me", false, "", ""},
        {"5 ,2,10,20,0,0,Name,Me", false, "", ""},
        {"99999999999999999999,2,10,20,0,0,Name,Me", false, "", ""},
        {"0,2,10,20,0,0,Name,Me", false, "", ""},
        {"5,12,10,20,0,0,Name,Me", false, "", ""},
        {"5,-1,10,20,0,0,Name,Me", false, "", ""},
        {"5,2,nan,20,0,0,Name,Me", false, "", ""},
        {"5,2,10,inf,0,0,Name,Me", false, "", ""},
        {"5,2,1e39,20,0,0,Name,Me", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        PresetMapRecord r;
        ASSERT_EQ(parsePresetMapLine(c.line, r), c.taken);
        if (!c.taken) continue;
        EXPECT_EQ(r.key, c.key);
        EXPECT_EQ(r.getName(), c.name);
        EXPECT_EQ(r.getAuthor(), c.author);
    }
    // Only a line's first 256 bytes count: blanks before the key push the fields past them.
    PresetMapRecord r;
    EXPECT_TRUE(parsePresetMapLine("5,2,10,20,0,0,Name," + longAuthor, r));
    EXPECT_EQ(r.getAuthor(), std::string(23, 'A'));
    EXPECT_TRUE(parsePresetMapLine(std::string(200, ' ') + "5,2,10,20,0,0,Name,Me", r));
    EXPECT_FALSE(parsePresetMapLine(leadingBlanks + "5,2,10,20,0,0,Name,Me", r));
}

TEST(PresetMapCache, AFileThatIsNotWhollyOursIsNotTrusted) {
    TempFolder temp;
    const juce::File file = temp.root().getChildFile("presetCache.dat");
    struct Case {
        const char* name;
        std::string bytes;
        PresetCacheRead expected;
        size_t records;
    };
    const std::vector<Case> cases{
        {"empty file", "", PresetCacheRead::kRead, 0},
        {"good lines, last without its line end", "5,2,10,20,0,0,A,B\n6,3,1,2,0,0,C,D", PresetCacheRead::kRead, 2},
        {"one bad line among good ones", "5,2,10,20,0,0,A,B\ngarbage\n6,3,1,2,0,0,C,D\n", PresetCacheRead::kDamaged, 0},
        {"an empty line", "5,2,10,20,0,0,A,B\n\n", PresetCacheRead::kDamaged, 0},
        {"a stray byte in a name, then zero bytes", std::string("5,2,10,20,0,0,A\xff\xfe,B\n\0\0\0", 24),
         PresetCacheRead::kDamaged, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::writeBytes(file, std::vector<uint8_t>(c.bytes.begin(), c.bytes.end()));
        PresetMapRecords records{record(1, 1, 0, 0, "old", "")};
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(readPresetMapCache(pathOf(file), records), c.expected);
        const std::string log = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(records.size(), c.records);
        EXPECT_EQ(log.empty(), c.expected == PresetCacheRead::kRead);
    }

    PresetMapRecords records{record(1, 1, 0, 0, "old", "")};
    ASSERT_TRUE(file.deleteFile());
    EXPECT_EQ(readPresetMapCache(pathOf(file), records), PresetCacheRead::kMissing);
    EXPECT_TRUE(records.empty());
    ASSERT_TRUE(testing::makeFifo(file));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(readPresetMapCache(pathOf(file), records), PresetCacheRead::kDamaged) << "never waits on a FIFO";
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("not a regular file"), std::string::npos);

    records = {record(1, 1, 0, 0, "kept", "")};
    EXPECT_EQ(readPresetMapCache("", records), PresetCacheRead::kMissing);
    EXPECT_EQ(records.size(), 1u) << "an empty path reads nothing";
}

TEST(PresetMapCache, AFailedWriteKeepsTheOldFile) {
    TempFolder temp;
    const juce::File file = temp.root().getChildFile("presetCache.dat");
    ASSERT_TRUE(writePresetMapCache(pathOf(file), {record(5, 2, 1, 2, "Old", "Map")}));
    const std::vector<uint8_t> before = testing::readBytes(file);

    PresetMapRecords many(200, record(6, 3, 100.0f, 200.0f, "A new patch name", "Someone"));
    {
        testing::FileSizeLimit limit(1000);
        EXPECT_FALSE(writePresetMapCache(pathOf(file), many));
    }
    EXPECT_EQ(testing::readBytes(file), before);
    EXPECT_FALSE(writePresetMapCache("", many));
    EXPECT_EQ(temp.root().findChildFiles(juce::File::findFiles, false, "*").size(), 1) << "no temporary file left";
}

} // namespace
} // namespace corvex
