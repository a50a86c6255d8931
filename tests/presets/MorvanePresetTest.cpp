// A preset's attributes and who hears of their changes, and the bank it belongs to by its folders.
#include <gtest/gtest.h>

#include "PresetTestSupport.h"

namespace corvex {
namespace {

using namespace corvex::testing;

class PresetAttributes : public ::testing::Test {
protected:
    TempFolder temp;
    FakeOwner owner;
    MorvanePreset preset{&owner, "CorvanProgram", temp.root().getChildFile("none.cvp")};
};

TEST_F(PresetAttributes, SingleValuedKeysReplaceAndEqualValuesTellNobody) {
    preset.setAttribute("Type", "Bass", true);
    preset.setModified(false);
    owner.calls.clear();
    preset.setAttribute("Type", "Bass", true);
    EXPECT_TRUE(owner.calls.empty());
    EXPECT_FALSE(preset.isModified());

    preset.setAttribute("Type", "bass", true);
    EXPECT_EQ(owner.calls, std::vector<std::string>{"changed"});
    EXPECT_TRUE(preset.isModified());
    juce::StringArray values;
    preset.getAttributeValues("Type", values);
    EXPECT_EQ(values, juce::StringArray("bass"));

    preset.setModified(false);
    preset.setAttribute("Mode", "Whole", false);
    EXPECT_EQ(owner.calls.size(), 1u) << "no notice without notify";
    EXPECT_FALSE(preset.isModified());
}

TEST_F(PresetAttributes, MultiValuedKeysAddEvenDuplicatesInOrder) {
    preset.setAttribute("Characteristics", "Soft", true);
    preset.setAttribute("Characteristics", "Dark", true);
    preset.setAttribute("Characteristics", "Soft", true);
    juce::StringArray values;
    preset.getAttributeValues("Characteristics", values);
    EXPECT_EQ(values, juce::StringArray("Soft", "Dark", "Soft"));
    EXPECT_EQ(preset.getAttribute("Characteristics"), "Soft");
    EXPECT_EQ(owner.calls.size(), 3u);
}

TEST_F(PresetAttributes, RemovingOneValueOrAllOfAKey) {
    preset.setAttribute("Characteristics", "Soft", false);
    preset.setAttribute("Characteristics", "Dark", false);
    preset.setAttribute("Characteristics", "Soft", false);

    preset.removeAttribute("Characteristics", "Missing");
    EXPECT_TRUE(owner.calls.empty());
    EXPECT_FALSE(preset.isModified());

    preset.removeAttribute("Characteristics", "Soft");
    juce::StringArray values;
    preset.getAttributeValues("Characteristics", values);
    EXPECT_EQ(values, juce::StringArray("Dark", "Soft"));

    preset.removeAttribute("Characteristics", "");
    EXPECT_EQ(preset.getAttribute("Characteristics"), "");
    preset.setModified(false);
    preset.removeAttribute("Nothing", "");
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"changed", "changed", "changed"}));
    EXPECT_TRUE(preset.isModified());
}

TEST_F(PresetAttributes, RenamingTellsTheOwnerOnlyOfARealChange) {
    preset.setName("Untitled");
    EXPECT_TRUE(owner.calls.empty());
    EXPECT_FALSE(preset.isModified());
    preset.setName("untitled");
    EXPECT_EQ(owner.calls, std::vector<std::string>{"renamed"});
    EXPECT_TRUE(preset.isModified());
    preset.setIdentifier("U_5");
    EXPECT_EQ(owner.calls.size(), 1u);
}

struct BankCase {
    const char* path;  // below the temporary folder
    const char* bank;  // "" for none
    const char* demo;
    const char* root;  // the bank root, below the temporary folder
};

TEST(PresetBanks, TheBankComesFromTheNearestBankFolderWithinTenLevels) {
    const BankCase cases[] = {
        {"r/Factory/p.cvp", "Factory", "False", "r"},
        {"r/User/Sub/p.cvp", "User", "False", "r"},
        {"r/Factory/Demo/Sub/p.cvp", "Factory", "True", "r"},
        {"r/User/1/2/3/4/5/6/7/8/9/p.cvp", "User", "False", "r"},
        {"r/User/1/2/3/4/5/6/7/8/9/10/p.cvp", "", "", ""},
        {"r/user/p.cvp", "", "", ""},
        {"r/User/Factory/p.cvp", "Factory", "False", "r/User"},
    };
    for (const BankCase& c : cases) {
        SCOPED_TRACE(c.path);
        TempFolder temp;
        FakeOwner owner;
        const MorvanePreset preset(&owner, "CorvanProgram", temp.root().getChildFile(c.path));
        EXPECT_EQ(preset.getAttribute("Fact_User"), c.bank);
        EXPECT_EQ(preset.getAttribute("Demo"), c.demo);
        EXPECT_EQ(preset.getRootFolder(), *c.root ? temp.root().getChildFile(c.root) : juce::File());
        EXPECT_EQ(preset.isUserPreset(), juce::String(c.bank) == "User");
        EXPECT_TRUE(owner.calls.empty());
        EXPECT_FALSE(preset.isModified());
    }
}

TEST(PresetBanks, MovingToTheDemoBankKeepsThePathBelowTheBank) {
    TempFolder temp;
    FakeOwner owner;
    const juce::File file = temp.root().getChildFile("User").getChildFile("Sub").getChildFile("p.cvp");
    writeBytes(file, {9, 9});
    MorvanePreset preset(&owner, "CorvanProgram", file);
    ASSERT_TRUE(preset.moveToDemoBank());
    const juce::File moved = temp.root().getChildFile("Factory/Demo/Sub/p.cvp");
    EXPECT_EQ(preset.getFile(), moved);
    EXPECT_EQ(readBytes(moved), (std::vector<uint8_t>{9, 9}));
    EXPECT_FALSE(file.exists());
    EXPECT_EQ(preset.getAttribute("Fact_User"), "Factory");
    EXPECT_EQ(preset.getAttribute("Demo"), "True");
    EXPECT_TRUE(preset.isModified());
    EXPECT_TRUE(owner.calls.empty());
}

} // namespace
} // namespace corvex
