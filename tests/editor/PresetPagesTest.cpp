// The LCD's "Presets" page and its browsing pages doing things: deleting patches, projects and programs,
// copying factory programs, making new presets, switching levels, and every list over the factory bank.
#include <gtest/gtest.h>

#include "editor/CorvanMultiDeletePanel.h"
#include "editor/CorvanPresetPanel.h"
#include "tests/editor/PresetPageTestSupport.h"
#include "tests/support/Snapshots.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {
namespace {

using testing::deliverPostedMessages;

// The LCD glass behind a page: what the screen paints where the page draws nothing.
struct LcdGlass : juce::Component {
    explicit LcdGlass(juce::Component& page) {
        setSize(page.getWidth(), page.getHeight());
        addAndMakeVisible(page);
    }
    ~LcdGlass() override { removeAllChildren(); }
    void paint(juce::Graphics& g) override { g.fillAll(CorvanLookAndFeel::getInstance()->darkColour); }
};

TEST(PatchDeletePanel, TextsNameThePatchAndTheProject) {
    const struct {
        const char* patch;
        const char* project;
        const char* patchText;
        const char* projectText;
    } cases[] = {
        {"Alpha", "Live", "Delete \"Alpha\" patch", "Delete the whole \"Live\" project"},
        {"Beta", "", "Delete \"Beta\" patch", "Delete the whole \"\" project"},
    };
    for (const auto& c : cases) {
        CorvanMultiDeletePanel panel(nullptr, c.patch, c.project);
        EXPECT_NE(findButton(panel, c.patchText), nullptr) << c.patch;
        EXPECT_NE(findButton(panel, c.projectText), nullptr) << c.project;
        EXPECT_TRUE(findNamed<juce::Label>(panel, "Be Careful")->getText().contains(
            juce::String("linked to the \"") + c.project + "\" project.\nAll programs only used"));
    }
}

TEST(PatchDeletePanel, TheWarningShowsWhileTheProjectIsChosen) {
    CorvanMultiDeletePanel panel(nullptr, "Alpha", "Live");
    const juce::String patchText = CorvanMultiDeletePanel::patchChoiceText("Alpha");
    const juce::String projectText = CorvanMultiDeletePanel::projectChoiceText("Live");
    const struct {
        const juce::String& clicked;
        bool project;
    } steps[] = {{projectText, true}, {projectText, true}, {patchText, false}, {patchText, false}, {projectText, true}};
    EXPECT_FALSE(panel.isProjectChosen());
    EXPECT_FALSE(panel.isWarningShown());
    for (const auto& s : steps) {
        click(panel, s.clicked);
        EXPECT_EQ(panel.isProjectChosen(), s.project) << s.clicked;
        EXPECT_EQ(panel.isWarningShown(), s.project) << s.clicked;
    }
    EXPECT_FALSE(panel.isConfirmed());
}

class PageCommands : public BoundPages {
public:
    PageCommands() {
        patches().setCurrentPreset(findPatch("P1"), true);
        deliverPostedMessages();
        log.clear();
    }
    bool exists(const char* path) { return bank(path).existsAsFile(); }
};

TEST_F(PageCommands, PatchDeleteRemovesWhatTheDialogChose) {
    const struct {
        const char* what;
        bool project, ok;
        bool p1, p2, p3, u2;
    } cases[] = {
        {"cancelled after choosing the project", true, false, true, true, true, true},
        {"the patch", false, true, false, true, true, true},
        {"the project", true, true, false, false, true, false},
    };
    for (const auto& c : cases) {
        PageCommands library;
        library.calls.answerDialog([&c](MVModalDialogPanel& panel) {
            if (c.project) click(panel, CorvanMultiDeletePanel::projectChoiceText("Live"));
            click(panel, c.ok ? "OK" : "Cancel");
        });
        press(library.patchPage, "Delete Patch");
        deliverPostedMessages();
        ASSERT_EQ(library.calls.dialogs.size(), 1u);
        EXPECT_EQ(library.calls.dialogs[0].title, "Delete Patch or Project");
        EXPECT_EQ(library.calls.dialogs[0].width, 220);
        EXPECT_EQ(library.calls.dialogs[0].height, 240);
        EXPECT_EQ(library.exists("User/p1.cvm"), c.p1) << c.what;
        EXPECT_EQ(library.exists("User/p2.cvm"), c.p2) << c.what;
        EXPECT_EQ(library.exists("User/p3.cvm"), c.p3) << c.what;
        EXPECT_EQ(library.exists("User/u2.cvp"), c.u2) << c.what << ": only the project played it";
        EXPECT_TRUE(library.exists("User/u1.cvp")) << c.what << ": a remaining patch plays it";
        MorvanePreset* current = library.patches().getCurrentPreset();
        if (c.ok) {
            // Another patch is current, loaded and selected; the deleted one is nowhere.
            EXPECT_TRUE(current->getFile().existsAsFile()) << c.what;
            EXPECT_EQ(library.loadsOf("Multi"), 1) << c.what;
            EXPECT_FALSE(rowsOf(library.patchPage.getResultList()).joinIntoString("|").contains("Alpha")) << c.what;
            EXPECT_NE(selectedResult(library.patchPage), "<none>") << c.what;
        } else {
            EXPECT_EQ(current, library.findPatch("P1"));
        }
    }
}

TEST_F(PageCommands, FactoryPresetsAreNeverDeletedNorSavedOver) {
    patches().setCurrentPreset(findPatch("Default"), true);
    upperPrograms().setCurrentPreset(findProgram("FB"), true);
    deliverPostedMessages();
    const auto before = filesUnder(settings());
    // No dialog is scripted: asking one fails the test.
    patchPage.deleteSelected();
    upperPage.deleteSelected();
    upperPage.save();
    deliverPostedMessages();
    EXPECT_EQ(filesUnder(settings()), before);
}

TEST_F(PageCommands, SaveAsCopiesAFactoryProgramIntoTheUserBank) {
    upperPrograms().setCurrentPreset(findProgram("FB"), true);
    deliverPostedMessages();
    const juce::MemoryBlock factoryBytes = filesUnder(settings())["Factory/fb.cvp"];
    calls.answerDialog([](MVModalDialogPanel& panel) { click(panel, "OK"); });
    press(upperPage, "Save Program As ...");
    deliverPostedMessages();
    ASSERT_EQ(calls.dialogs.size(), 1u);
    EXPECT_EQ(calls.dialogs[0].title, "Program Save As...");
    MorvanePreset* copy = upperPrograms().getCurrentPreset();
    EXPECT_NE(copy, findProgram("FB"));
    EXPECT_TRUE(copy->isUserPreset());
    EXPECT_TRUE(copy->getFile().existsAsFile());
    EXPECT_EQ(copy->getAttribute("Type"), "Bass");
    EXPECT_EQ(filesUnder(settings())["Factory/fb.cvp"], factoryBytes);
    EXPECT_EQ(selectedResult(upperPage), copy->getName());
}

TEST_F(PageCommands, ProgramDeleteAsksNamingTheOtherPatchesThatPlayIt) {
    EXPECT_EQ(CorvanProgramPanel::deleteQuestion({}), "Are you sure that you want to delete this Program?");
    EXPECT_EQ(CorvanProgramPanel::deleteQuestion({"s: Alpha", "d: Gamma"}),
              "Be very Careful! This program is also used by the following patches:\ns: Alpha, d: Gamma");
    const struct {
        bool ok;
        bool kept;
    } cases[] = {{false, true}, {true, false}};
    for (const auto& c : cases) {
        PageCommands library;
        library.upperPrograms().setCurrentPreset(library.findProgram("U1"), false);
        deliverPostedMessages();
        library.log.clear();
        library.calls.answerOkCancel(c.ok);
        press(library.upperPage, "Delete Program");
        deliverPostedMessages();
        ASSERT_EQ(library.calls.alerts.size(), 1u);
        EXPECT_EQ(library.calls.alerts[0].title, "Delete Program");
        EXPECT_TRUE(library.calls.alerts[0].message.endsWith(":\nGamma")) << library.calls.alerts[0].message;
        EXPECT_EQ(library.exists("User/u1.cvp"), c.kept);
        EXPECT_EQ(library.upperPrograms().getCurrentPreset() == library.findProgram("U1"), c.kept);
        EXPECT_EQ(library.loadsOf("Upper"), c.kept ? 0 : 1) << "the next program is heard";
        EXPECT_EQ(rowsOf(library.upperPage.getResultList()).size(), c.kept ? 5 : 4);
    }
}

TEST_F(PageCommands, ANewPresetCarriesTheChosenFilterValuesButNeverTheFactoryBank) {
    CorvanFilterList& types = *upperPage.getFilterList(0);
    types.selectRow(types.getValues().indexOf("Lead"));
    juce::ComboBox& second = upperPage.getKeyBox(1);
    second.setSelectedId(4, juce::sendNotificationSync);
    deliverPostedMessages();
    ASSERT_EQ(second.getText(), "Fact_User");
    CorvanFilterList& banks = *upperPage.getFilterList(1);
    banks.selectRow(banks.getValues().indexOf("Factory"));
    deliverPostedMessages();
    press(upperPage, "New Program");
    deliverPostedMessages();
    MorvanePreset* created = upperPrograms().getCurrentPreset();
    EXPECT_EQ(created->getAttribute("Type"), "Lead");
    EXPECT_TRUE(created->isUserPreset());
    EXPECT_TRUE(findNamed<juce::Button>(upperPage, "Save Program")->isEnabled());
}

struct RecordingLayerSwitch : LayerSwitch {
    void showLayer(int layer) override { shown.push_back(layer); }
    std::vector<int> shown;
};

class PresetPageTest : public PageLibrary {
protected:
    PresetPageTest() {
        patches().setLayerSwitch(&layers);
        patches().setCurrentPreset(findPatch("P1"), true);
        deliverPostedMessages();
        page.setSize(CorvanPresetPanel::kLcdPageWidth, CorvanPresetPanel::kLcdPageHeight);
        page.initialise(&patches());
    }
    ~PresetPageTest() override { patches().setLayerSwitch(nullptr); }
    void showPatch(const char* id) {
        patches().setCurrentPreset(findPatch(id), false);
        deliverPostedMessages();
    }

    RecordingLayerSwitch layers;
    CorvanPresetPanel page{&gui, calls};
};

TEST_F(PresetPageTest, LevelButtonsSwitchPagesPropertiesAndTheShownLayer) {
    EXPECT_EQ(page.getShownPage(), nullptr) << "the first page comes on a later turn";
    deliverPostedMessages();
    EXPECT_EQ(page.getShownPage(), page.getPatchPage());
    EXPECT_TRUE(page.getPatchProperties()->isShowingEditors());

    const juce::Rectangle<int> upperBounds = page.getUpperProperties()->getBounds();
    const struct {
        const char* button;
        juce::Component* shown;
        PresetPropertiesPanel* active;
        std::vector<int> layers;
        int upperHeightLost;
    } cases[] = {
        {"Lower", page.getLowerPage(), page.getLowerProperties(), {1}, 30},
        {"Upper", page.getUpperPage(), page.getUpperProperties(), {0}, 0},
        {"Lower", page.getLowerPage(), page.getLowerProperties(), {1}, 30},
        {"Patch", page.getPatchPage(), page.getPatchProperties(), {}, 0},
    };
    for (const auto& c : cases) {
        layers.shown.clear();
        click(page, c.button);
        deliverPostedMessages();
        EXPECT_EQ(page.getShownPage(), c.shown) << c.button;
        EXPECT_TRUE(c.shown->isVisible()) << c.button;
        for (juce::Component* other : {(juce::Component*)page.getPatchPage(), (juce::Component*)page.getLowerPage(),
                                       (juce::Component*)page.getUpperPage()})
            EXPECT_EQ(other->isVisible(), other == c.shown) << c.button;
        for (PresetPropertiesPanel* p : {page.getPatchProperties(), page.getLowerProperties(), page.getUpperProperties()})
            EXPECT_EQ(p->isShowingEditors(), p == c.active) << c.button;
        EXPECT_EQ(layers.shown, c.layers) << c.button;
        EXPECT_EQ(page.getUpperProperties()->getHeight(), upperBounds.getHeight() - c.upperHeightLost) << c.button;
    }
}

TEST_F(PresetPageTest, ALayerShownElsewhereMovesTheLayerPagesOnly) {
    deliverPostedMessages();
    patches().shownLayerChanged(1.0f);
    deliverPostedMessages();
    EXPECT_EQ(page.getShownPage(), page.getPatchPage()) << "the patch page stays";

    click(page, "Upper");
    deliverPostedMessages();
    patches().shownLayerChanged(1.0f);
    deliverPostedMessages();
    deliverPostedMessages();
    EXPECT_EQ(page.getShownPage(), page.getLowerPage());
    patches().shownLayerChanged(0.0f);
    deliverPostedMessages();
    deliverPostedMessages();
    EXPECT_EQ(page.getShownPage(), page.getUpperPage());
}

TEST_F(PresetPageTest, AWholePatchDisablesTheLowerLevel) {
    deliverPostedMessages();
    click(page, "Lower");
    deliverPostedMessages();
    const struct {
        const char* patch;
        bool lower;
    } cases[] = {{"P2", false}, {"P3", true}, {"Default", false}, {"P1", true}};
    for (const auto& c : cases) {
        showPatch(c.patch);
        EXPECT_EQ(page.getLowerButton()->isEnabled(), c.lower) << c.patch;
        EXPECT_EQ(page.getLowerProperties()->isEnabled(), c.lower) << c.patch;
        EXPECT_EQ(page.getShownPage(), page.getLowerPage()) << c.patch << ": the shown page stays";
    }
    showPatch("P2");
    click(page, "Upper");
    deliverPostedMessages();
    patches().shownLayerChanged(1.0f);
    deliverPostedMessages();
    deliverPostedMessages();
    EXPECT_EQ(page.getShownPage(), page.getUpperPage()) << "no Lower page while Whole plays";
    // Opened on a patch that plays Whole already.
    CorvanPresetPanel late(&gui, calls);
    late.initialise(&patches());
    EXPECT_FALSE(late.getLowerButton()->isEnabled());
}

TEST_F(PresetPageTest, SnapshotsOfThePageAndItsBrowsingPagesAtTheirLcdSize) {
    deliverPostedMessages();
    LcdGlass glass(page);
    keepSnapshot(snapshotOf(glass), "editor-preset-page-patch.png");
    click(page, "Upper");
    deliverPostedMessages();
    keepSnapshot(snapshotOf(glass), "editor-preset-page-upper.png");
    for (auto* browsing : {(CorvanTemplatePanel*)page.getPatchPage(), (CorvanTemplatePanel*)page.getUpperPage()}) {
        EXPECT_EQ(browsing->getWidth(), kBrowsingPageWidth);
        EXPECT_EQ(browsing->getHeight(), kBrowsingPageHeight);
    }
    page.getPatchPage()->setVisible(true);
    LcdGlass patchGlass(*page.getPatchPage());
    page.getPatchPage()->setTopLeftPosition(0, 0);
    keepSnapshot(snapshotOf(patchGlass), "editor-patch-page.png");
    LcdGlass programGlass(*page.getUpperPage());
    page.getUpperPage()->setTopLeftPosition(0, 0);
    keepSnapshot(snapshotOf(programGlass), "editor-program-page.png");
}

// The factory bank as the program installs it.
class FactoryBankPages : public Library {
protected:
    using FilterTest::upperPrograms;

    FactoryBankPages() {
        services = std::make_unique<CorvanPresetServices>(folder, CorvanPresetServices::FactoryBank::Install);
        services->create(lower, upper, multi, presetListener);
        deliverPostedMessages();
        for (CorvanTemplatePanel* p : {(CorvanTemplatePanel*)&patchPage, (CorvanTemplatePanel*)&upperPage})
            p->setSize(kBrowsingPageWidth, kBrowsingPageHeight);
        patchPage.initialise(&patches());
        upperPage.initialise(&upperPrograms(), &patches());
        deliverPostedMessages();
        log.clear();
    }
    FakeGui gui;
    ScriptedModalCalls calls;
    CorvanMultiPanel patchPage{&gui, calls};
    CorvanProgramPanel upperPage{&gui, calls};
};

// Past the mode a patch row starts with.
juce::String bareName(const juce::String& row, bool patch) { return patch ? row.fromFirstOccurrenceOf(": ", false, false) : row; }

TEST_F(FactoryBankPages, EveryListShowsSortsAndFilters) {
    const struct {
        const char* what;
        CorvanTemplatePanel& page;
        int presets;
        bool patch;
    } pages[] = {{"patches", patchPage, 17 + 1, true}, {"programs", upperPage, 50 + 1, false}}; // and "Default"
    for (const auto& p : pages) {
        const juce::StringArray rows = rowsOf(p.page.getResultList());
        EXPECT_EQ(rows.size(), p.presets) << p.what;
        p.page.getFilterManager()->setSortKey({}, 1);
        p.page.refreshResults();
        const juce::StringArray sorted = rowsOf(p.page.getResultList());
        for (int i = 1; i < sorted.size(); ++i)
            EXPECT_LE(bareName(sorted[i - 1], p.patch).compareIgnoreCase(bareName(sorted[i], p.patch)), 0)
                << p.what << ": " << sorted[i - 1] << " before " << sorted[i];
        for (int column = 0; column < CorvanTemplatePanel::kColumns; ++column) {
            CorvanFilterList& list = *p.page.getFilterList(column);
            int filtering = 0;
            for (int row = 0; row < list.getNumRows(); ++row) {
                if (!list.isRowUsed(row)) continue;
                list.selectRow(row);
                deliverPostedMessages();
                const int shown = rowsOf(p.page.getResultList()).size();
                filtering += shown > 0 && shown < p.presets;
                // A patch page counts its programs' values as used too, even those of programs no patch plays.
                if (!p.patch) {
                    EXPECT_GT(shown, 0) << p.what << " " << list.getValues()[row];
                }
                EXPECT_LE(shown, p.presets) << p.what << " " << list.getValues()[row];
                for (int r = 0; r < shown && !p.patch; ++r) {
                    juce::StringArray values;
                    p.page.getFilterManager()->getPreset(r)->getAttributeValues(p.page.getKeyBox(column).getText(),
                                                                               values);
                    EXPECT_TRUE(values.contains(list.getValues()[row])) << rowsOf(p.page.getResultList())[r];
                }
            }
            EXPECT_GT(filtering, 1) << p.what << " column " << column;
            list.clearFilter();
            deliverPostedMessages();
            EXPECT_EQ(rowsOf(p.page.getResultList()).size(), p.presets) << p.what;
        }
    }
}

TEST_F(FactoryBankPages, AChosenRowIsHeard) {
    const struct {
        CorvanTemplatePanel& page;
        const char* part;
    } cases[] = {{patchPage, "Multi"}, {upperPage, "Upper"}};
    for (const auto& c : cases) {
        log.clear();
        const int row = c.page.getResultList().getSelectedRow() == 3 ? 4 : 3;
        c.page.getResultList().selectRow(row);
        deliverPostedMessages();
        EXPECT_EQ(loadsOf(log, c.part), 1) << c.part;
        EXPECT_EQ(c.page.getFilterManager()->getCurrentPreset(), c.page.getFilterManager()->getPreset(row));
    }
}

} // namespace
} // namespace corvex
