// A panel's table: one plain row per child (how to make it, where it sits, which parameter it edits), usable in a
// constexpr array, with the helpers that make a panel's children from the rows and place them from the rows.
#pragma once

#include <iterator>
#include <memory>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/CvnSkinSizes.h"
#include "widgets/MVGuiInterface.h"

namespace corvex {

// A child's rectangle in its panel's coordinates.
struct PanelRect {
    int x;
    int y;
    int width;
    int height;

    // A skinned widget's rectangle takes the size its pictures were drawn to, so that the two cannot drift apart.
    static constexpr PanelRect at(int x, int y, skin::Size size) { return {x, y, size.width, size.height}; }

    juce::Rectangle<int> toRectangle() const { return {x, y, width, height}; }
};

// A rectangle measured against the panel's own size, for the tables of panels whose size is set by whoever
// opens them: a negative x or y counts from the right or bottom edge; a width or height of zero or less is
// the panel's width or height plus it.
struct LayoutRect {
    int x, y, w, h;

    juce::Rectangle<int> within(int width, int height) const {
        return {x < 0 ? width + x : x, y < 0 ? height + y : y, w > 0 ? w : width + w, h > 0 ? h : height + h};
    }
};

// Makes a widget bound to `index`. Captureless lambdas convert to it, so a row can pass fixed style arguments
// (positions, items, a label) that the widget's own (gui, index) constructor leaves out.
using WidgetMaker = std::unique_ptr<juce::Component> (*)(MVGuiInterface* gui, int index);

template <typename Widget>
std::unique_ptr<juce::Component> makeBound(MVGuiInterface* gui, int index) {
    return std::make_unique<Widget>(gui, index);
}

struct PanelRow {
    WidgetMaker make;
    PanelRect bounds;
    int index;
};

inline const PanelRect& boundsOf(const PanelRect& row) { return row; }
template <typename Row>
const PanelRect& boundsOf(const Row& row) {
    return row.bounds;
}

inline juce::Component* componentOf(juce::Component* child) { return child; }
template <typename Child>
juce::Component* componentOf(const std::unique_ptr<Child>& child) {
    return child.get();
}

// One child per row, in the rows' order, made visible in `panel`; the panel keeps them, and a row without a
// maker keeps its place as a null child.
template <typename Rows>
std::vector<std::unique_ptr<juce::Component>> addChildrenFromTable(juce::Component& panel, MVGuiInterface* gui,
                                                                   const Rows& rows) {
    std::vector<std::unique_ptr<juce::Component>> children;
    for (const PanelRow& row : rows) {
        children.push_back(row.make != nullptr ? row.make(gui, row.index) : nullptr);
        if (children.back() != nullptr) panel.addAndMakeVisible(*children.back());
    }
    return children;
}

// Child i takes row i's rectangle, from resized(). A null child leaves its row unused; rows or children beyond
// the shorter of the two are left alone.
template <typename Rows, typename Children>
void placeChildren(const Rows& rows, const Children& children) {
    auto child = std::begin(children);
    for (const auto& row : rows) {
        if (child == std::end(children)) return;
        if (juce::Component* c = componentOf(*child)) c->setBounds(boundsOf(row).toRectangle());
        ++child;
    }
}

} // namespace corvex
