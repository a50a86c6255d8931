// The factory bank compiled into the program is what the generator makes today: regenerated into a
// temporary folder, every file has the same header and the same unpacked payload (the packed bytes may
// differ with the zlib build), and no file is missing or left over.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include <zlib.h>

#include "presets/FactoryBank.h"
#include "tools/factorybank/FactoryBankGenerator.h"

namespace corvex::testing {
namespace {

struct Parts {
    std::vector<uint8_t> header; // everything up to and including the flags word
    std::vector<uint8_t> payload;
};

// Splits a preset file at its flags word and unpacks the payload with zlib directly.
Parts split(const uint8_t* bytes, size_t size) {
    Parts parts;
    if (size < 8) return parts;
    const uint32_t headerLength = uint32_t(bytes[4]) | uint32_t(bytes[5]) << 8 | uint32_t(bytes[6]) << 16 |
                                  uint32_t(bytes[7]) << 24;
    const size_t tail = 8 + headerLength + 5 + 4;
    if (tail > size) return parts;
    parts.header.assign(bytes, bytes + tail);
    std::vector<uint8_t> out(1 << 20);
    uLongf length = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &length, bytes + tail, static_cast<uLong>(size - tail)) == Z_OK)
        parts.payload.assign(out.data(), out.data() + length);
    return parts;
}

TEST(FactoryBankGenerator, RegeneratesTheCompiledInBank) {
    const juce::File dir = juce::File::createTempFile("corvex-factorybank-test");
    {
        factory::FactoryBankGenerator generator;
        ASSERT_TRUE(generator.generate(dir));
    }
    std::map<juce::String, juce::MemoryBlock> made;
    for (const juce::File& file : dir.findChildFiles(juce::File::findFiles, false, "*")) {
        juce::MemoryBlock bytes;
        ASSERT_TRUE(file.loadFileAsData(bytes));
        made[file.getFileName()] = bytes;
    }
    dir.deleteRecursively();

    ASSERT_EQ(made.size(), factoryBankFiles().size()) << "regenerate with: corvex-factorybank resources/factory";
    for (const FactoryBankFile& file : factoryBankFiles()) {
        SCOPED_TRACE(file.name.toStdString());
        const auto found = made.find(file.name);
        ASSERT_NE(found, made.end());
        const Parts compiled = split(static_cast<const uint8_t*>(file.data), file.size);
        const Parts fresh = split(static_cast<const uint8_t*>(found->second.getData()), found->second.getSize());
        ASSERT_FALSE(compiled.payload.empty());
        EXPECT_EQ(fresh.header, compiled.header);
        EXPECT_EQ(fresh.payload, compiled.payload);
    }
}

} // namespace
} // namespace corvex::testing
