#include "editor/lcd/CorvanMainEffectPanel.h"

#include <algorithm>

#include "editor/effects/EffectTypeSelector.h"
#include "editor/lcd/LcdPage.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {

constexpr int kTabWidth = 80, kTabHeight = 14;
constexpr int kRadioGroup = 1;
constexpr float kDimmedAlpha = 0.4f;
constexpr float kHairline = 0.5f;

// A tab sits at (xUnits * s + 28, yUnits * s + yOffset), s being the row unit: the insert tabs on the voice's
// column, the master tabs one unit further right, where the patch branches off.
struct SlotRow {
    const char* caption;
    int index;
    int xUnits, yUnits, yOffset;
};
constexpr SlotRow kSlots[CorvanMainEffectPanel::kSlotCount] = {
    {"Pre Effect", ParameterIndex::kInsertEffectType[0], 2, 2, 14},
    {"Post Effect", ParameterIndex::kInsertEffectType[1], 2, 4, 42},
    {"Multi Effect1", ParameterIndex::kMasterEffectType[0], 3, 7, 70},
    {"Multi Effect2", ParameterIndex::kMasterEffectType[1], 3, 8, 84},
};

bool isMasterSlot(int slot) { return slot >= CorvanMainEffectPanel::kMasterEffect1; }

} // namespace

juce::String CorvanMainEffectPanel::effectNameFor(Slot slot, float value) {
    const juce::StringArray& names =
        isMasterSlot(slot) ? effecttypes::masterEffectNames() : effecttypes::insertEffectNames();
    return names[effecttypes::typeOfValue(value, names.size())];
}

CorvanMainEffectPanel::Layout CorvanMainEffectPanel::layoutFor(int height) {
    Layout layout;
    const int s = (height - 98) / 9;
    layout.rowUnit = s;
    for (size_t i = 0; i < kSlotCount; ++i) {
        const SlotRow& row = kSlots[i];
        layout.tabs[i] = {row.xUnits * s + 28, row.yUnits * s + row.yOffset, kTabWidth, kTabHeight};
    }
    return layout;
}

CorvanMainEffectPanel::CorvanMainEffectPanel(MVGuiInterface* gui) : gui_(gui) {
    preEffectPage_ = std::make_unique<CorvanEffectsPanel>(gui, effecttypes::insertEffectNames(), 0);
    postEffectPage_ = std::make_unique<CorvanEffectsPanel>(gui, effecttypes::insertEffectNames(), 1);
    multiEffect1Page_ = std::make_unique<CorvanMultiEffectsPanel>(gui, effecttypes::masterEffectNames(), 0);
    multiEffect2Page_ = std::make_unique<CorvanMultiEffectsPanel>(gui, effecttypes::masterEffectNames(), 1);
    for (size_t i = 0; i < kSlotCount; ++i) addChildComponent(getSlotPage(static_cast<Slot>(i)));

    for (size_t i = 0; i < kSlotCount; ++i) {
        auto tab = std::make_unique<CvnLcdTextButton>(kSlots[i].caption);
        tab->setButtonText(kSlots[i].caption);
        tab->setClickingTogglesState(true);
        tab->setRadioGroupId(kRadioGroup);
        tab->addListener(this);
        addAndMakeVisible(*tab);
        tabs_[i] = std::move(tab);
    }

    for (const SlotRow& row : kSlots) parameterChanged(row.index, gui_->getParameter(row.index));
    for (const SlotRow& row : kSlots) gui_->addParameterListener(row.index, this);

    // A stored page without a slot (5) opens the first slot, so a page chosen once is always shown again.
    const int page = lcdpage::fromValue(gui_->getParameter(ParameterIndex::kLcdPage));
    if (lcdpage::isEffects(page)) {
        const size_t slot = static_cast<size_t>(std::max(page - lcdpage::kFirstEffect, 0));
        tabs_[slot]->setToggleState(true, juce::sendNotificationSync);
    }
}

CorvanMainEffectPanel::~CorvanMainEffectPanel() {
    for (const SlotRow& row : kSlots) gui_->removeParameterListener(row.index, this);
    for (auto& tab : tabs_) tab->removeListener(this);
}

juce::Component* CorvanMainEffectPanel::getSlotPage(Slot slot) const {
    switch (slot) {
    case kPreEffect: return preEffectPage_.get();
    case kPostEffect: return postEffectPage_.get();
    case kMasterEffect1: return multiEffect1Page_.get();
    case kMasterEffect2: return multiEffect2Page_.get();
    default: return nullptr;
    }
}

int CorvanMainEffectPanel::getCurrentPage() const {
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (shownPage_ != nullptr && shownPage_ == getSlotPage(static_cast<Slot>(slot)))
            return lcdpage::kFirstEffect + slot;
    return lcdpage::kEffects;
}

void CorvanMainEffectPanel::buttonClicked(juce::Button* button) {
    if (shownPage_ != nullptr) shownPage_->setVisible(false);
    for (size_t i = 0; i < kSlotCount; ++i)
        if (tabs_[i].get() == button) shownPage_ = getSlotPage(static_cast<Slot>(i));
    if (shownPage_ != nullptr) shownPage_->setVisible(true);
    repaint();
}

void CorvanMainEffectPanel::parameterChanged(int index, float value) {
    for (size_t i = 0; i < kSlotCount; ++i)
        if (kSlots[i].index == index && tabs_[i] != nullptr)
            tabs_[i]->setButtonText(effectNameFor(static_cast<Slot>(i), value));
}

void CorvanMainEffectPanel::resized() {
    layout_ = layoutFor(getHeight());
    const juce::Rectangle<int> pageBounds(kPageX, 0, getWidth() - kPageX, getHeight());
    preEffectPage_->setListBounds(kListY, kListHeight);
    postEffectPage_->setListBounds(kListY, kListHeight);
    multiEffect1Page_->setListBounds(kListY, kListHeight);
    multiEffect2Page_->setListBounds(kListY, kListHeight);
    for (size_t i = 0; i < kSlotCount; ++i) {
        tabs_[i]->setBounds(layout_.tabs[i]);
        getSlotPage(static_cast<Slot>(i))->setBounds(pageBounds);
    }
}

void CorvanMainEffectPanel::paint(juce::Graphics& g) {
    CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    g.setColour(lf.greyColour);
    g.setFont(juce::Font(static_cast<float>(lf.getDefaultFontHeight())));

    const int s = layout_.rowUnit, r = kTabHeight, x0 = layout_.tabs[kPreEffect].getX(), cx = x0 + kTabWidth / 2;
    const auto arrow = [&](int x, int y1, int y2) {
        g.drawArrow(juce::Line<float>(juce::Point<int>(x, y1).toFloat(), juce::Point<int>(x, y2).toFloat()), 1.0f,
                    static_cast<float>(s), static_cast<float>(s / 2));
    };
    const auto box = [&](const char* text, int y) {
        g.drawText(text, juce::Rectangle<int>(x0, y, kTabWidth, s), juce::Justification::centred, false);
    };

    box("VCO", r);
    arrow(cx, s + r, 2 * s + r);
    arrow(cx, 2 * s + 2 * r, 3 * s + 2 * r);
    box("Filter", 3 * s + 2 * r);
    arrow(cx, 3 * s + 3 * r, 4 * s + 3 * r);
    arrow(cx, 4 * s + 4 * r, 5 * s + 4 * r);
    box("VCA", 5 * s + 4 * r);
    // The voices are summed here and the patch's own effects take over, one unit to the right.
    g.drawLine(static_cast<float>(cx), static_cast<float>(5 * s + 5 * r), static_cast<float>(cx),
               static_cast<float>(6 * s + 5 * r));
    g.drawLine(static_cast<float>(cx), static_cast<float>(6 * s + 5 * r), static_cast<float>(cx + s),
               static_cast<float>(6 * s + 5 * r));
    arrow(cx + s, 6 * s + 5 * r, 7 * s + 5 * r);
    arrow(cx + s, 7 * s + 6 * r, 8 * s + 6 * r);

    const int left = 2 * s + 14, right = 6 * s + 94;
    paintFrame(g, "Voice", left, s - 5, right, 6 * s + 65, 4 * s + 42);
    paintFrame(g, "Patch", left, 7 * s + 65, right, 9 * s + 93, static_cast<int>(7.5 * s + 98));

    // Tie the chosen tab to its page's effect list.
    for (const auto& tab : tabs_) {
        if (!tab->getToggleState()) continue;
        const auto at = tab->getPosition().toFloat();
        const float x = at.x + static_cast<float>(kTabWidth);
        g.setColour(lf.greyColour.withAlpha(kDimmedAlpha));
        g.drawLine(x, at.y, static_cast<float>(kPageX), static_cast<float>(kListY), kHairline);
        g.drawLine(x, at.y + static_cast<float>(kTabHeight), static_cast<float>(kPageX),
                   static_cast<float>(kListY + kListHeight), kHairline);
        break;
    }
}

// A rounded frame whose left edge breaks for its label, which reads upwards with its baseline on the edge.
void CorvanMainEffectPanel::paintFrame(juce::Graphics& g, const juce::String& label, int left, int top, int right,
                                       int bottom, int labelY) const {
    const juce::Font font = g.getCurrentFont();
    const float L = static_cast<float>(left), T = static_cast<float>(top), R = static_cast<float>(right),
                B = static_cast<float>(bottom), p = static_cast<float>(labelY);
    const float labelWidth = font.getStringWidthFloat(label);
    constexpr float pi = juce::MathConstants<float>::pi;

    juce::Path frame;
    frame.startNewSubPath(L, p - labelWidth - 2.0f);
    frame.lineTo(L, T + 5.0f);
    frame.addArc(L, T, 10.0f, 10.0f, 1.5f * pi, 2.0f * pi);
    frame.lineTo(R - 5.0f, T);
    frame.addArc(R - 10.0f, T, 10.0f, 10.0f, 0.0f, 0.5f * pi);
    frame.lineTo(R, B - 5.0f);
    frame.addArc(R - 10.0f, B - 10.0f, 10.0f, 10.0f, 0.5f * pi, pi);
    frame.lineTo(L + 5.0f, B);
    frame.addArc(L, B - 10.0f, 10.0f, 10.0f, pi, 1.5f * pi);
    frame.lineTo(L, p + 1.0f);
    g.strokePath(frame, juce::PathStrokeType(kHairline));

    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText(font, label, 0.0f, 0.0f);
    juce::Path text;
    glyphs.createPath(text);
    text.applyTransform(juce::AffineTransform::rotation(-0.5f * pi).translated(L, p));
    g.fillPath(text);
}

} // namespace corvex
