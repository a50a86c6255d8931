// The LCD's browsing pages over a small library: what the filter lists let through, how the page answers each
// filter-manager message, and that showing a selection never writes it back or reloads a preset.
#include <gtest/gtest.h>

#include "tests/editor/PresetPageTestSupport.h"

namespace corvex {
namespace {

using testing::deliverPostedMessages;
using testing::FilterRecorder;

constexpr int kTypeColumn = 0;

class FilterListTest : public BoundPages {
protected:
    CorvanFilterList& typeList() { return *upperPage.getFilterList(kTypeColumn); }
    int rowOf(CorvanFilterList& list, const juce::String& value) { return list.getValues().indexOf(value); }
    juce::StringArray stored(int column) { return upperPrograms().getFilterValues(column); }
    void pick(CorvanFilterList& list, const juce::String& value) {
        list.selectRow(rowOf(list, value));
        deliverPostedMessages();
    }
    void chooseKey(int column, const juce::String& key) {
        juce::ComboBox& box = upperPage.getKeyBox(column);
        for (int i = 0; i < box.getNumItems(); ++i)
            if (box.getItemText(i) == key) box.setSelectedItemIndex(i, juce::sendNotificationSync);
        deliverPostedMessages();
    }
};

TEST_F(FilterListTest, ColumnsStartOnTheirKeysWithUnusedValuesMarked) {
    EXPECT_EQ(upperPage.getKeyBox(0).getText(), "Type");
    EXPECT_EQ(upperPage.getKeyBox(1).getText(), "Characteristics");
    EXPECT_EQ(patchPage.getKeyBox(0).getText(), "Project");
    EXPECT_EQ(patchPage.getKeyBox(1).getText(), "Type");
    const struct {
        const char* value;
        bool used;
    } cases[] = {{"Bass", true}, {"Lead", true}, {"Pad", true}, {"Brass", false}, {"Strings", false}};
    for (const auto& c : cases) EXPECT_EQ(typeList().isRowUsed(rowOf(typeList(), c.value)), c.used) << c.value;
    EXPECT_EQ(rowsOf(upperPage.getResultList()).size(), 5);
}

TEST_F(FilterListTest, UsedValuesFilterUnusedOnesNeverDo) {
    pick(typeList(), "Bass");
    EXPECT_EQ(stored(kTypeColumn), juce::StringArray({"Bass"}));
    EXPECT_EQ(rowsOf(upperPage.getResultList()), juce::StringArray({"Deep Bass", "Fact Bass"}));

    pick(typeList(), "Brass");
    EXPECT_EQ(typeList().getSelectedValues(), juce::StringArray({"Brass"})) << "selected like any row";
    EXPECT_EQ(stored(kTypeColumn), juce::StringArray({"Bass"})) << "but the filter is left as it was";
    EXPECT_EQ(rowsOf(upperPage.getResultList()).size(), 2);
}

TEST_F(FilterListTest, AllDeselectionAndDropsBelowTheRowsClearTheFilter) {
    // A key with two values leaves room below its rows.
    chooseKey(1, "Fact_User");
    CorvanFilterList& bankList = *upperPage.getFilterList(1);
    ASSERT_EQ(bankList.getValues(), juce::StringArray({"Factory", "User"}));
    const struct {
        const char* what;
        CorvanFilterList& cleared;
        std::function<void()> clear;
        juce::StringArray results;
    } cases[] = {
        {"All", typeList(), [&] { click(upperPage, "All"); }, {"Air", "Deep Bass", "Warm Lead"}},
        {"deselected", typeList(), [&] { typeList().deselectAllRows(); }, {"Air", "Deep Bass", "Warm Lead"}},
        {"dropped below the rows", bankList, [&] { dropAt(bankList, rowCentre(bankList, 2)); },
         {"Deep Bass", "Fact Bass"}},
    };
    for (const auto& c : cases) {
        pick(typeList(), "Bass");
        pick(bankList, "User");
        ASSERT_EQ(rowsOf(upperPage.getResultList()), juce::StringArray({"Deep Bass"}));
        c.clear();
        deliverPostedMessages();
        EXPECT_TRUE(c.cleared.getSelectedValues().isEmpty()) << c.what;
        EXPECT_TRUE(stored(c.cleared.getFilterIndex()).isEmpty()) << c.what;
        EXPECT_EQ(rowsOf(upperPage.getResultList()), c.results) << c.what;
        typeList().clearFilter();
        bankList.clearFilter();
        deliverPostedMessages();
    }
}

TEST_F(FilterListTest, ADropSelectsTheValueUnderThePointerAndOnlyPresetRowsAreTaken) {
    const int lead = rowOf(typeList(), "Lead");
    juce::Label source;
    const int y = rowCentre(typeList(), lead);
    typeList().itemDragEnter({"CORVAN_PRESET", &source, {5, y}});
    EXPECT_EQ(typeList().getDropRow(), lead);
    typeList().itemDragExit({"CORVAN_PRESET", &source, {5, y}});
    EXPECT_EQ(typeList().getDropRow(), -1);

    dropAt(typeList(), y);
    deliverPostedMessages();
    EXPECT_EQ(stored(kTypeColumn), juce::StringArray({"Lead"}));
    EXPECT_EQ(rowsOf(upperPage.getResultList()), juce::StringArray({"Warm Lead"}));

    const struct {
        const char* description;
        bool taken;
    } sources[] = {{"CORVAN_PRESET", true}, {"", false}, {"CORVAN_PRESETS", false}, {"Type", false}};
    for (const auto& s : sources)
        EXPECT_EQ(typeList().isInterestedInDragSource({s.description, &source, {}}), s.taken) << s.description;
    EXPECT_EQ(typeList().getDragSourceDescription({}), juce::var()) << "filter rows cannot be dragged out";
    EXPECT_EQ(upperPage.getResultList().getDragSourceDescription({}), juce::var("CORVAN_PRESET"));
}

TEST_F(FilterListTest, ShowingStoredValuesNeverWritesThemBack) {
    FilterRecorder recorder;
    upperPrograms().addListener(&recorder);
    // Two values at once, as a saved state may bring them: the list can show only one.
    upperPrograms().setFilterValues(kTypeColumn, {"Bass", "Lead"});
    deliverPostedMessages();
    const int told = recorder.count(MorvanePresetFilterManager::kCriteriaChanged);
    // An echo would be posted while the first messages are delivered, and arrive now.
    deliverPostedMessages();
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kCriteriaChanged), told) << "no echo";
    EXPECT_EQ(stored(kTypeColumn), juce::StringArray({"Bass", "Lead"}));
    EXPECT_EQ(rowsOf(upperPage.getResultList()).size(), 3);

    // A value the list does not hold leaves it without a selection.
    upperPrograms().setFilterValues(kTypeColumn, {"Kazoo"});
    deliverPostedMessages();
    EXPECT_TRUE(typeList().getSelectedValues().isEmpty());
    EXPECT_EQ(stored(kTypeColumn), juce::StringArray({"Kazoo"}));
    upperPrograms().removeListener(&recorder);
}

TEST_F(FilterListTest, AKeyChangeDropsTheOldKeysValuesARefillKeepsThem) {
    pick(typeList(), "Bass");
    chooseKey(0, "Characteristics");
    EXPECT_EQ(upperPrograms().getFilterText(0), "Characteristics");
    EXPECT_TRUE(stored(0).isEmpty()) << "\"Bass\" is no characteristic";
    EXPECT_EQ(rowsOf(upperPage.getResultList()).size(), 5) << "every program passes";

    pick(*upperPage.getFilterList(0), "Soft");
    upperPage.fillFilterList(0);
    EXPECT_EQ(stored(0), juce::StringArray({"Soft"}));
    EXPECT_EQ(upperPage.getFilterList(0)->getSelectedValues(), juce::StringArray({"Soft"}));

    chooseKey(0, CorvanTemplatePanel::kNoFilter);
    EXPECT_EQ(upperPrograms().getFilterText(0), "");
    EXPECT_TRUE(stored(0).isEmpty());
    EXPECT_EQ(upperPage.getFilterList(0)->getNumRows(), 0);
}

TEST_F(FilterListTest, ARowChosenLoadsOnceARefreshSelectsWithoutLoading) {
    choose(upperPage, "Deep Bass");
    EXPECT_EQ(log, std::vector<std::string>({"Upper:prog U2"}));
    EXPECT_EQ(upperPrograms().getCurrentPreset(), findProgram("U2"));

    // Made current elsewhere: the page follows without a load of its own.
    log.clear();
    upperPrograms().setCurrentPreset(findProgram("U3"), false);
    deliverPostedMessages();
    EXPECT_EQ(selectedResult(upperPage), "Air");
    upperPage.refreshResults();
    deliverPostedMessages();
    EXPECT_EQ(loadsOf("Upper"), 1);
}

TEST_F(FilterListTest, ACurrentPresetTheFiltersHideIsRevealed) {
    pick(typeList(), "Bass");
    upperPrograms().setCurrentPreset(findProgram("U1"), false);
    deliverPostedMessages();
    EXPECT_TRUE(stored(kTypeColumn).isEmpty());
    EXPECT_EQ(selectedResult(upperPage), "Warm Lead");
}

// Each filter-manager message and what the page does about it.
struct SpyPage : CorvanProgramPanel {
    using CorvanProgramPanel::CorvanProgramPanel;
    void refreshResults() override {
        calls += "refresh ";
        CorvanProgramPanel::refreshResults();
    }
    void fillFilterList(int i) override {
        calls += "fill" + juce::String(i) + " ";
        CorvanProgramPanel::fillFilterList(i);
    }
    void selectFilterKey(int i) override {
        calls += "key" + juce::String(i) + " ";
        CorvanProgramPanel::selectFilterKey(i);
    }
    void currentPresetChanged() override {
        calls += "current ";
        CorvanProgramPanel::currentPresetChanged();
    }
    juce::String calls;
};

TEST_F(FilterListTest, EachMessageHasItsReaction) {
    SpyPage page(&gui, calls);
    page.setSize(kBrowsingPageWidth, kBrowsingPageHeight);
    page.initialise(&upperPrograms(), &patches());
    deliverPostedMessages();
    const struct {
        int id, value;
        const char* reaction;
    } cases[] = {
        {0, 0, "refresh "}, {1, 0, "refresh "}, {2, 0, ""},         {3, 0, ""},
        {4, 1, "current "}, {5, 0, "refresh "}, {6, 0, "refresh fill0 fill1 "},
        {7, 0, "refresh "}, {8, 0, "refresh "}, {9, 0, "refresh "}, {10, 0, ""},
        {11, 1, "key1 fill1 "}, {12, 1, ""}, {99, 0, ""},
    };
    for (const auto& c : cases) {
        page.calls.clear();
        page.presetFilterChanged(c.id, c.value, 0, nullptr);
        EXPECT_EQ(page.calls, c.reaction) << "message " << c.id;
    }
}

TEST_F(FilterListTest, SaveAndDeleteFollowTheCurrentPresetsBank) {
    SpyPage page(&gui, calls);
    page.initialise(&upperPrograms(), &patches());
    juce::Button& save = *findNamed<juce::Button>(page, "Save Program");
    juce::Button& remove = *findNamed<juce::Button>(page, "Delete Program");
    const struct {
        const char* id;
        bool editable;
    } cases[] = {{"FB", false}, {"U1", true}, {"Default", false}, {"U2", true}};
    for (const auto& c : cases) {
        upperPrograms().setCurrentPreset(findProgram(c.id), false);
        deliverPostedMessages();
        EXPECT_EQ(save.isEnabled(), c.editable) << c.id;
        EXPECT_EQ(remove.isEnabled(), c.editable) << c.id;
        EXPECT_TRUE(findNamed<juce::Button>(page, "New Program")->isEnabled());
        EXPECT_TRUE(findNamed<juce::Button>(page, "Save Program As ...")->isEnabled());
    }
    // Another manager's message runs the page's own follow-up but leaves the buttons.
    page.calls.clear();
    lowerPrograms().setCurrentPreset(findProgram("FB"), false);
    page.presetFilterChanged(MorvanePresetFilterManager::kCurrentPresetChanged, MorvanePresetFilterManager::kLowerPrograms,
                             0, findProgram("FB"));
    EXPECT_TRUE(save.isEnabled());
    EXPECT_EQ(page.calls, "current ");
}

TEST(TemplateLayout, PlacesColumnsToolsAndResultsByTwentySecondsOfTheWidth) {
    const auto layout = CorvanTemplatePanel::layoutFor(966, 200);
    EXPECT_EQ(layout.captions[0].getX(), 43);
    EXPECT_EQ(layout.captions[1].getX(), 301);
    const int tools[] = {layout.newButton.getX(), layout.saveButton.getX(), layout.saveAsButton.getX(),
                         layout.deleteButton.getX()};
    EXPECT_EQ(std::vector<int>(std::begin(tools), std::end(tools)), std::vector<int>({559, 598, 637, 676}));
    EXPECT_EQ(layout.results, juce::Rectangle<int>(559, 44, 344, 146));
    EXPECT_EQ(layout.filterLists[1], juce::Rectangle<int>(301, 48, 215, 133));
}

} // namespace
} // namespace corvex
