// A small library of programs and patches in three banks' worth of variety, for the LCD's preset pages: user
// and factory presets, used and unused attribute values, two projects.
#pragma once

#include <string>

#include "editor/CorvanMultiPanel.h"
#include "editor/CorvanProgramPanel.h"
#include "tests/editor/LibraryTestSupport.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/support/FakeGui.h"

namespace corvex {

// The size the preset page gives a browsing page on the LCD.
constexpr int kBrowsingPageWidth = 516, kBrowsingPageHeight = 136;

inline juce::StringArray rowsOf(CorvanResultList& list) { return list.getResults(); }

inline juce::String selectedResult(CorvanTemplatePanel& page) {
    const int row = page.getResultList().getSelectedRow();
    return row < 0 ? juce::String("<none>") : page.getResultList().getResults()[row];
}

// A tool-bar button, found by its name, clicked and its click delivered.
inline void press(juce::Component& page, const juce::String& name) {
    auto* button = findNamed<juce::Button>(page, name);
    ASSERT_NE(button, nullptr) << "no button " << name;
    button->triggerClick();
    testing::deliverPostedMessages();
}

// A drop of a result row at y in the list's coordinates.
inline void dropAt(CorvanFilterList& list, int y) {
    juce::Label source;
    list.itemDropped({juce::String(CorvanLcdList::kPresetDragDescription), &source, {5, y}});
}

// Where a row shows in its list, scrolled into view first; below the last row when row is past it.
inline int rowCentre(CorvanFilterList& list, int row) {
    if (row < list.getNumRows()) {
        list.scrollToEnsureRowIsOnscreen(row);
        return list.getRowPosition(row, true).getCentreY();
    }
    return list.getRowPosition(list.getNumRows() - 1, true).getBottom() + 5;
}

// How many times the fake part heard a preset.
inline int loadsOf(const std::vector<std::string>& log, const std::string& part) {
    int n = 0;
    for (const std::string& entry : log) n += entry.rfind(part + ":", 0) == 0;
    return n;
}

class PageLibrary : public Library {
public:
    using FilterTest::lowerPrograms;
    using FilterTest::upperPrograms;

    PageLibrary() {
        program("Factory/Default.cvp", "Default", "Default");
        program("Factory/fb.cvp", "FB", "Fact Bass", {{"Type", "Bass"}, {"Characteristics", "Dark"}});
        program("User/u1.cvp", "U1", "Warm Lead", {{"Type", "Lead"}, {"Characteristics", "Soft"}});
        program("User/u2.cvp", "U2", "Deep Bass", {{"Type", "Bass"}, {"Characteristics", "Hard"}});
        program("User/u3.cvp", "U3", "Air", {{"Type", "Pad"}});
        patch("Factory/Default.cvm", "Default", "Default", "Default", "Default", "Whole");
        patch("User/p1.cvm", "P1", "Alpha", "U1", "U2", "Split", {{"Project", "Live"}});
        patch("User/p2.cvm", "P2", "Beta", "U2", "U2", "Whole", {{"Project", "Live"}});
        patch("User/p3.cvm", "P3", "Gamma", "U3", "U1", "Dual", {{"Project", "Home"}});
        start();
    }

    int loadsOf(const std::string& part) const { return corvex::loadsOf(log, part); }

    FakeGui gui;
    ScriptedModalCalls calls;
};

// One page of each kind, bound and at its LCD size, its first messages delivered.
class BoundPages : public PageLibrary {
public:
    BoundPages() {
        upperPage.setSize(kBrowsingPageWidth, kBrowsingPageHeight);
        patchPage.setSize(kBrowsingPageWidth, kBrowsingPageHeight);
        upperPage.initialise(&upperPrograms(), &patches());
        patchPage.initialise(&patches());
        testing::deliverPostedMessages();
        log.clear();
    }
    void choose(CorvanTemplatePanel& page, const juce::String& row) {
        const int index = page.getResultList().getResults().indexOf(row);
        ASSERT_GE(index, 0) << "no row " << row;
        page.getResultList().selectRow(index);
        testing::deliverPostedMessages();
    }

    CorvanProgramPanel upperPage{&gui, calls};
    CorvanMultiPanel patchPage{&gui, calls};
};

} // namespace corvex
