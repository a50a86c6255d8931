// The patches over the two layers: choosing a patch loads Lower, Upper, then the patch; layer choices, the key
// mode and modified programs edit the current patch; the patch list follows its programs.
#include <gtest/gtest.h>

#include "FilterTestSupport.h"

namespace corvex::testing {
namespace {

class MultiFilterManagerTest : public FilterTest {
protected:
    MultiFilterManagerTest() {
        program("Factory/Default.cvp", "Default", "Default");
        patch("Factory/Default.cvm", "Default", "Default", "Default", "Default", "Whole");
        program("User/l1.cvp", "L1", "Low One", {{"Type", "Bass"}});
        program("User/u1.cvp", "U1", "Up One", {{"Type", "Bass"}});
        program("User/u2.cvp", "U2", "Up Two", {{"Type", "Lead"}});
        patch("User/split.cvm", "M1", "Bravo", "U1", "L1", "Split");
        patch("User/whole.cvm", "M2", "Zulu", "U2", "L1", "Whole");
        patch("User/lost.cvm", "M3", "Alpha", "U1", "Gone", "Dual");
        patch("User/whole2.cvm", "M4", "Charlie", "U1", "L1", "Whole");
        start();
    }
    std::vector<std::string> patchNames() {
        juce::StringArray shown;
        patches().getPresetDisplayNames(shown);
        std::vector<std::string> out;
        for (const juce::String& s : shown)
            out.push_back(s.toStdString());
        return out;
    }
};

TEST_F(MultiFilterManagerTest, ChoosingAPatchLoadsLowerThenUpperThenThePatch) {
    FilterRecorder recorder;
    patches().addListener(&recorder);
    patches().setCurrentPreset(findPatch("M1"), false);
    EXPECT_EQ(log, (std::vector<std::string>{"Lower:prog L1", "Upper:prog U1", "Multi:multi M1"}));
    deliverPostedMessages();
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kCurrentPresetChanged, 2), 1);
    // A listener of the patches hears both layers.
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kCurrentPresetChanged, 0), 1);
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kCurrentPresetChanged, 1), 1);
    EXPECT_FALSE(findPatch("M1")->isModified()) << "the layers' own announcements edit nothing";

    // The current patch again: both layers reload, the patch's own settings do not.
    log.clear();
    patches().setCurrentPreset(findPatch("M1"), false);
    deliverPostedMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"Lower:prog L1", "Upper:prog U1"}));
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kCurrentPresetChanged, 2), 1);
    patches().removeListener(&recorder);
}

TEST_F(MultiFilterManagerTest, APatchNamingALostProgramPlaysTheDefaultAndKeepsTheName) {
    MorvanePreset* lost = findPatch("M3");
    patches().setCurrentPreset(lost, false);
    deliverPostedMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"Lower:prog Default", "Upper:prog U1", "Multi:multi M3"}));
    EXPECT_EQ(lowerPrograms().getCurrentPreset(), findProgram("Default"));
    EXPECT_EQ(lost->getAttribute("Program2"), "Gone");
    EXPECT_FALSE(lost->isModified());
}

// A patch that would not load switches neither layer: the patch still current keeps its programs, their
// sound and every "*", so saving it keeps what it held rather than taking in the failed patch's programs.
TEST_F(MultiFilterManagerTest, APatchThatDoesNotLoadSwitchesNeitherLayer) {
    std::vector<FileSpoiler> cases = fileSpoilers("<CorvanMulti><PresetId ids=\"M2\" name=\"Zulu\"/><PresetAttributes "
                                                  "Program1=\"U2\"/><PresetAttributes Program2=\"L1\"/></CorvanMulti>");
    cases.push_back({"settings refused by the instrument", [this](const juce::File&) { multi.accept = false; }});
    MorvanePreset* m1 = findPatch("M1");
    MorvanePreset* m2 = findPatch("M2");
    MorvanePreset* u1 = findProgram("U1");
    const juce::File m2File = m2->getFile();
    for (const FileSpoiler& c : cases) {
        SCOPED_TRACE(c.name);
        patch("User/whole.cvm", "M2", "Zulu", "U2", "L1", "Whole");
        multi.accept = true;
        patches().setCurrentPreset(m1, false);
        upper.playing = std::string("edited U1 for ") + c.name;
        services->markLayerPresetModified(false);
        c.spoil(m2File);
        deliverPostedMessages();
        ASSERT_EQ(patches().getCurrentPreset(), m1);
        ASSERT_TRUE(m1->isModified());
        log.clear();

        ::testing::internal::CaptureStderr();
        patches().setCurrentPreset(m2, false);
        const std::string messages = ::testing::internal::GetCapturedStderr();
        deliverPostedMessages();

        EXPECT_NE(messages.find("stays current"), std::string::npos) << messages;
        EXPECT_TRUE(log.empty()) << log.front();
        EXPECT_EQ(patches().getCurrentPreset(), m1);
        EXPECT_EQ(lowerPrograms().getCurrentPreset(), findProgram("L1"));
        EXPECT_EQ(upperPrograms().getCurrentPreset(), u1);
        EXPECT_EQ(upper.playing, std::string("edited U1 for ") + c.name);
        EXPECT_TRUE(u1->isModified());
        EXPECT_TRUE(m1->isModified());
        EXPECT_FALSE(m2->isModified());
        EXPECT_EQ(m1->getAttribute("Program1"), "U1");

        multi.accept = true;
        ASSERT_TRUE(patches().savePreset(m1));
        ASSERT_TRUE(m1->readHeader());
        EXPECT_EQ(m1->getAttribute("Program1"), "U1");
        EXPECT_EQ(m1->getAttribute("Program2"), "L1");
    }
}

TEST_F(MultiFilterManagerTest, LayerChoicesKeyModeAndModifiedProgramsEditTheCurrentPatch) {
    MorvanePreset* m1 = findPatch("M1");
    patches().setCurrentPreset(m1, false);
    deliverPostedMessages();

    upperPrograms().setCurrentPreset(findProgram("U1"), false);
    deliverPostedMessages();
    EXPECT_FALSE(m1->isModified()) << "the same program again changes nothing";
    upperPrograms().setCurrentPreset(findProgram("U2"), false);
    deliverPostedMessages();
    EXPECT_EQ(m1->getAttribute("Program1"), "U2");
    EXPECT_EQ(m1->getAttribute("Program2"), "L1");
    EXPECT_TRUE(m1->isModified());
    const std::vector<std::string> shown = patchNames();
    EXPECT_NE(std::find(shown.begin(), shown.end(), "s: Bravo*"), shown.end());

    struct Case {
        float value;
        const char* mode;
        bool modified;
    };
    const Case cases[] = {
        {(1 + 0.5f) / 3, "Dual", true}, {0.6f, "Dual", false}, {1.0f, "Split", true},
        {0.0f, "Whole", true},          {-0.2f, "Whole", false},
    };
    for (const Case& c : cases) {
        m1->setModified(false);
        patches().keyModeChanged(c.value);
        EXPECT_EQ(m1->getAttribute("Mode"), c.mode) << c.value;
        EXPECT_EQ(m1->isModified(), c.modified) << c.value;
    }

    m1->setModified(false);
    services->markLayerPresetModified(true);
    deliverPostedMessages();
    EXPECT_TRUE(findProgram("L1")->isModified());
    EXPECT_TRUE(m1->isModified()) << "a modified program marks its patch";

    FilterRecorder recorder;
    patches().addListener(&recorder);
    patches().shownLayerChanged(0.6f);
    deliverPostedMessages();
    EXPECT_EQ(patches().getShownLayer(), 1);
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kShownLayer, 1), 1);
    patches().removeListener(&recorder);

    // A layer asked for goes to the editor's switch, and nowhere without one.
    struct Switch : LayerSwitch {
        std::vector<int> asked;
        void showLayer(int layer) override { asked.push_back(layer); }
    } layerSwitch;
    patches().setShownLayer(1);
    patches().setLayerSwitch(&layerSwitch);
    patches().setShownLayer(1);
    patches().setShownLayer(0);
    patches().setLayerSwitch(nullptr);
    patches().setShownLayer(1);
    EXPECT_EQ(layerSwitch.asked, (std::vector<int>{1, 0}));
}

TEST_F(MultiFilterManagerTest, ThePatchListRunsWholeSplitDualAndFollowsItsProgramsAttributes) {
    EXPECT_EQ(patchNames(), (std::vector<std::string>{"w: Charlie", "w: Default", "w: Zulu", "s: Bravo", "d: Alpha"}));

    // Patches are found through their programs: a program's new type moves patches in and out of the list.
    patches().setCriterion("Type", "Lead", true);
    EXPECT_EQ(patchNames(), (std::vector<std::string>{"w: Zulu"}));
    findProgram("U1")->setAttribute("Type", "Lead", true);
    deliverPostedMessages();
    EXPECT_EQ(patchNames(), (std::vector<std::string>{"w: Charlie", "w: Zulu", "s: Bravo", "d: Alpha"}));
}

TEST_F(MultiFilterManagerTest, ANewPatchPlaysTheDefaultProgramInBothLayers) {
    MorvanePreset* fresh = patches().createNewPreset(0);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(patches().getCurrentPreset(), fresh);
    EXPECT_EQ(fresh->getAttribute("Program1"), "Default");
    EXPECT_EQ(fresh->getAttribute("Program2"), "Default");
    EXPECT_EQ(fresh->getAttribute("Mode"), "Whole");
    EXPECT_TRUE(fresh->isUserPreset());
}

} // namespace
} // namespace corvex::testing
