// Invariants over every row of the table: a mapper everywhere, keys that fit and never repeat, and
// Lower rows that do to part 2 exactly what their Upper twins do to part 1.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <typeinfo>
#include <vector>

#include "engine/program/ModuleBlocks.h"
#include "tests/instrument/core/ParameterRig.h"

namespace corvex {
namespace {

using Image = std::vector<uint16_t>;

Image imageOf(const CorvanKernelProgram& program, int section) {
    const uint16_t* words = program.sectionImage(section);
    const int length = section == 0 ? kGlobalSectionWords : kPartAreaWords;
    return Image(words, words + length);
}

class ParameterRows : public ::testing::Test, protected testing::ParameterRig {
protected:
    void SetUp() override { build(); }
};

TEST_F(ParameterRows, EveryIndexHasAMapper) {
    for (int i = 0; i < ParameterMapping::kCount; ++i) EXPECT_NE(table->mapper(i), nullptr) << i;
}

TEST_F(ParameterRows, KeysFitEightCharactersAndNeverRepeat) {
    std::set<std::string> seen;
    for (int i = 0; i < ParameterMapping::kCount; ++i) {
        if (table->mapper(i) == nullptr) continue;
        const std::string key = table->getName(i);
        EXPECT_FALSE(key.empty()) << i;
        EXPECT_LE(key.size(), 8u) << i << " " << key;
        EXPECT_TRUE(seen.insert(key).second) << "key " << key << " repeats at " << i;
        const int layer = ParameterIndex::layerOf(i);
        if (layer >= 0) {
            EXPECT_EQ(key[0], layer == 0 ? 'U' : 'L') << i << " " << key;
        }
    }
}

// Each Upper row and its Lower twin, set to the same value on fresh instruments: the Lower row changes
// part 2 exactly as the Upper row changes part 1, and leaves part 1 and the global section alone.
TEST_F(ParameterRows, LowerTwinsActOnPartTwoAsUpperRowsOnPartOne) {
    for (int upper = 0; upper < ParameterMapping::kCount; ++upper) {
        if (ParameterIndex::layerOf(upper) != 0) continue;
        const int lower = ParameterIndex::unfold(upper, 1);
        rebuildProgram();
        ParameterMapper* u = table->mapper(upper);
        ParameterMapper* l = table->mapper(lower);
        ASSERT_EQ(u == nullptr, l == nullptr) << upper;
        if (u == nullptr) continue;
        EXPECT_EQ(typeid(*u), typeid(*l)) << upper;
        EXPECT_EQ(table->getName(lower), "L" + table->getName(upper).substr(1)) << upper;
        // Rows whose long name is their key (or the key's stem) carry the layer letter in both.
        const std::string upperLong = table->getLongName(upper);
        const bool nameFromKey = !upperLong.empty() && table->getName(upper).compare(0, upperLong.size(), upperLong) == 0;
        EXPECT_EQ(table->getLongName(lower), nameFromKey ? "L" + upperLong.substr(1) : upperLong) << upper;

        const Image before1 = imageOf(*program, 1), before2 = imageOf(*program, 2), before0 = imageOf(*program, 0);
        table->setParameter(upper, 0.8f);
        const Image upperResult = imageOf(*program, 1);
        EXPECT_EQ(imageOf(*program, 2), before2) << "Upper row " << upper << " touched part 2";

        rebuildProgram();
        table->setParameter(lower, 0.8f);
        EXPECT_EQ(imageOf(*program, 2), upperResult) << "row " << lower << " differs from its twin " << upper;
        EXPECT_EQ(imageOf(*program, 1), before1) << "Lower row " << lower << " touched part 1";
        EXPECT_EQ(imageOf(*program, 0), before0) << "Lower row " << lower << " touched the global section";
    }
}

} // namespace
} // namespace corvex
