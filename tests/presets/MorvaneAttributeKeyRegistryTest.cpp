// The attribute key table: four flags per key, value lists, columns and the order of keys.
#include "presets/MorvaneAttributeKeyRegistry.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

struct FlagCase {
    int flags;
    bool multi, gathered, category, stored;
};

TEST(MorvaneAttributeKeyRegistry, FlagBitsMapToTheirFourQueries) {
    const FlagCase cases[] = {
        {0, false, false, false, false}, {1, true, false, false, false}, {2, false, true, false, false},
        {4, false, false, true, false},  {8, false, false, false, true}, {15, true, true, true, true},
        {9, true, false, false, true},   {0x30, false, false, false, false}, {0x1C, false, false, true, true},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.flags);
        MorvaneAttributeKeyRegistry registry;
        registry.registerAttributeKey("Key", c.flags, -1);
        EXPECT_EQ(registry.isMultiValued("Key"), c.multi);
        EXPECT_EQ(registry.isGatheredFromPresets("Key"), c.gathered);
        EXPECT_EQ(registry.getAttributeFlagBit2("Key"), c.category);
        EXPECT_EQ(registry.isStored("Key"), c.stored);
    }
    const MorvaneAttributeKeyRegistry empty;
    EXPECT_FALSE(empty.isMultiValued("Other"));
    EXPECT_FALSE(empty.isGatheredFromPresets("Other"));
    EXPECT_FALSE(empty.getAttributeFlagBit2("Other"));
    EXPECT_TRUE(empty.isStored("Other")) << "what a header brings in unregistered is written back";
}

TEST(MorvaneAttributeKeyRegistry, ASecondRegistrationKeepsFlagsAndValuesButTakesItsColumn) {
    MorvaneAttributeKeyRegistry registry;
    registry.registerAttributeKey("Type", 8 | 4, 0);
    registry.addAttributeValue("Type", "Bass");
    registry.registerAttributeKey("Type", 1, 3);
    EXPECT_FALSE(registry.isMultiValued("Type"));
    EXPECT_TRUE(registry.isStored("Type"));
    EXPECT_EQ(registry.getColumnKey(0), "Type");
    EXPECT_EQ(registry.getColumnKey(3), "Type");
    EXPECT_EQ(registry.getColumnKey(1), "");
    juce::StringArray values;
    registry.getRegisteredValues("Type", values);
    EXPECT_EQ(values, juce::StringArray("Bass"));

    registry.registerAttributeKey("Mode", 0, 0);
    EXPECT_EQ(registry.getColumnKey(0), "Mode") << "a column holds one key, the latest";
}

TEST(MorvaneAttributeKeyRegistry, ValuesAppendInOrderOnlyForRegisteredKeys) {
    MorvaneAttributeKeyRegistry registry;
    registry.registerAttributeKey("Demo", 0, -1);
    registry.addAttributeValue("Demo", "True");
    registry.addAttributeValue("Demo", "False");
    registry.addAttributeValue("Demo", "True");
    registry.addAttributeValue("Nobody", "X");

    juce::StringArray out("left", "alone");
    registry.getRegisteredValues("Nobody", out);
    EXPECT_EQ(out, juce::StringArray("left", "alone"));
    registry.getRegisteredValues("Demo", out);
    EXPECT_EQ(out, juce::StringArray("True", "False", "True"));
    EXPECT_FALSE(registry.isRegistered("Nobody"));
}

TEST(MorvaneAttributeKeyRegistry, KeysAscendCapitalsFirstAndCopiesAreIndependent) {
    MorvaneAttributeKeyRegistry registry;
    for (const char* key : {"Type", "aside", "Fact_User", "Demo", "Characteristics"})
        registry.registerAttributeKey(key, 0, -1);
    juce::StringArray keys("first");
    registry.getAttributeKeys(keys);
    EXPECT_EQ(keys, juce::StringArray({"first", "Characteristics", "Demo", "Fact_User", "Type", "aside"}));

    MorvaneAttributeKeyRegistry copy;
    copy = registry;
    copy.registerAttributeKey("Mode", 8, 2);
    EXPECT_FALSE(registry.isRegistered("Mode"));
    EXPECT_TRUE(copy.isRegistered("Type"));
}

} // namespace
} // namespace corvex
