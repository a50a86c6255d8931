#include "editor/sequencer/CorvanSequencerFirstPanel.h"

#include <array>

#include "editor/sequencer/SequencerGraphMaths.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/CvnLcdButton.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/CvnLcdKnob.h"
#include "widgets/CvnLcdToolBarPlayButton.h"
#include "widgets/CvnLcdToolBarStopButton.h"

namespace corvex {

namespace {
namespace P = ParameterIndex;

enum class Kind { Label, Combo, Knob, Switch, Play, Stop };
// The panel's lines, from top to bottom; their heights follow the panel's (firstPanelLines).
enum Line { kTop, kPlay, kSync, kMode, kSmooth, kAccentGroup, kAccent, kLineCount };

struct Row {
    Kind kind;
    const char* name;
    const char* text;
    int index;
    int x;
    Line line;
    int width; // 0 or less: the panel's width plus it
    int height;
};

constexpr int kNone = -1;
constexpr Row kRows[] = {
    {Kind::Label, "Start Label", "Start/Stop:", kNone, 15, kTop, 50, 14},
    {Kind::Combo, "Start Mode Combo", nullptr, P::kSequencerStartMode, 65, kTop, -80, 14},
    {Kind::Play, "Play", nullptr, kNone, 15, kPlay, 18, 18},
    {Kind::Stop, "Stop", nullptr, kNone, 48, kPlay, 18, 18},
    {Kind::Label, "Mode Label", "Mode:", kNone, 15, kMode, 50, 14},
    {Kind::Combo, "Start Mode Combo", nullptr, P::kSequencerMode, 65, kMode, -80, 14},
    {Kind::Label, "Rate Label", "Rate:", kNone, 81, kPlay, 40, 14},
    {Kind::Knob, nullptr, nullptr, P::kSequencerRate, 121, kPlay, 19, 19},
    {Kind::Switch, "Sync.", nullptr, P::kSequencerSync, 15, kSync, 50, 14},
    {Kind::Label, "Q Label", "Q:", kNone, 80, kSync, 40, 14},
    {Kind::Combo, "Start Mode Combo", nullptr, P::kSequencerQuantize, 120, kSync, 40, 14},
    {Kind::Label, "Accent Attack Label", "A:", kNone, 22, kAccent, 18, 14},
    {Kind::Knob, nullptr, nullptr, P::kSequencerAccentAttack, 40, kAccent, 19, 19},
    {Kind::Label, "Accent Decay Label", "D:", kNone, 66, kAccent, 18, 14},
    {Kind::Knob, nullptr, nullptr, P::kSequencerAccentDecay, 84, kAccent, 19, 19},
    {Kind::Label, "Accent Level Label", "Level:", kNone, 110, kAccent, 36, 14},
    {Kind::Knob, nullptr, nullptr, P::kSequencerAccentLevel, 146, kAccent, 19, 19},
    {Kind::Label, "Smooth Label", "Smooth:", kNone, 15, kSmooth, 50, 14},
    {Kind::Knob, nullptr, nullptr, P::kSequencerSmooth, 65, kSmooth, 19, 19},
    {Kind::Label, "Swing Label", "Swing:", kNone, 99, kSmooth, 50, 14},
    {Kind::Knob, nullptr, nullptr, P::kSequencerSwing, 149, kSmooth, 19, 19},
};

struct ComboItem {
    const char* text;
    int id;
};
constexpr ComboItem kStartModes[] = {{"Free Running", 1}, {"Note On/Note Off", 2}, {"MIDI Start/Stop", 3}};
// Step 0 of the mode row has no item: the box then shows nothing.
constexpr ComboItem kModes[] = {{"Forward", 2}, {"Backward", 3}, {"Back and forth", 4}, {"Random", 5}};
// An item's id less one is the number of sequencer steps per whole note.
constexpr ComboItem kQuantisations[] = {{"1/2", 3},   {"1/4", 5},    {"1/4T", 7},   {"1/8", 9},
                                        {"1/8T", 13}, {"1/16", 17},  {"1/16T", 25}, {"1/32", 33},
                                        {"1/32T", 49}, {"1/64", 65}, {"1/128", 129}};
constexpr int kModeSteps = 5;
constexpr int kQuantiseSteps = 129;

std::unique_ptr<CvnLcdComboBox> makeCombo(const Row& row, MVGuiInterface* gui) {
    auto combo = std::make_unique<CvnLcdComboBox>(row.name, gui, row.index);
    const auto add = [&](const auto& items, int steps) {
        for (const ComboItem& item : items) combo->addItem(item.text, item.id);
        combo->setUp(steps);
    };
    if (row.index == P::kSequencerStartMode) add(kStartModes, -1);
    if (row.index == P::kSequencerMode) add(kModes, kModeSteps);
    if (row.index == P::kSequencerQuantize) {
        add(kQuantisations, kQuantiseSteps);
        combo->setJustificationType(juce::Justification::centred);
    }
    return combo;
}

std::unique_ptr<juce::Component> makeChild(const Row& row, MVGuiInterface* gui) {
    switch (row.kind) {
    case Kind::Label: {
        auto label = std::make_unique<juce::Label>(row.name, row.text);
        label->setFont(juce::Font(static_cast<float>(CorvanLookAndFeel::getInstance()->getDefaultFontHeight())));
        label->setJustificationType(juce::Justification::centred);
        return label;
    }
    case Kind::Combo: return makeCombo(row, gui);
    case Kind::Knob: return std::make_unique<CvnLcdKnob>(gui, row.index);
    case Kind::Switch: return std::make_unique<CvnLcdButton>(row.name, gui, row.index);
    case Kind::Play: return std::make_unique<CvnLcdToolBarPlayButton>(row.name, gui);
    case Kind::Stop: return std::make_unique<CvnLcdToolBarStopButton>(row.name, gui);
    }
    return nullptr;
}

// The y of each line for a panel of height h: the gaps share what the fixed rows leave.
std::array<int, kLineCount> firstPanelLines(int h) {
    std::array<int, kLineCount> y{};
    const int g = static_cast<int>((h - 105) / 5.5);
    y[kTop] = g;
    y[kPlay] = g + 14 + g / 2;
    y[kSync] = y[kPlay] + g + 18;
    y[kMode] = y[kSync] + g + 14;
    y[kSmooth] = y[kMode] + g + 14;
    y[kAccentGroup] = y[kSmooth] + g + 14;
    y[kAccent] = y[kAccentGroup] + 10;
    return y;
}
} // namespace

CorvanSequencerFirstPanel::CorvanSequencerFirstPanel(MVGuiInterface* gui) : gui_(gui), syncBinding_(gui, this) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    for (const Row& row : kRows) {
        children_.push_back(makeChild(row, gui_));
        juce::Component* child = children_.back().get();
        addAndMakeVisible(child);
        if (row.kind == Kind::Play) play_ = dynamic_cast<juce::Button*>(child);
        if (row.kind == Kind::Stop) stop_ = dynamic_cast<juce::Button*>(child);
        if (row.kind == Kind::Label && juce::String(row.name) == "Rate Label") rateLabel_ = child;
        if (row.index == P::kSequencerRate) rateKnob_ = child;
    }
    play_->addListener(this);
    stop_->addListener(this);
    // A page made while sync is on must not offer the rate until the next echo says so.
    applySync(gui_->getParameter(P::kSequencerSync));
    syncBinding_.bind(P::kSequencerSync);
}

CorvanSequencerFirstPanel::~CorvanSequencerFirstPanel() {
    syncBinding_.unbind();
    play_->removeListener(this);
    stop_->removeListener(this);
    setLookAndFeel(nullptr);
}

juce::Component* CorvanSequencerFirstPanel::getWidgetFor(int index) const {
    for (size_t i = 0; i < children_.size(); ++i)
        if (kRows[i].index == index) return children_[i].get();
    return nullptr;
}

void CorvanSequencerFirstPanel::buttonClicked(juce::Button* button) {
    if (button == play_ || button == stop_)
        gui_->notifyParameterEdit(MVGuiInterface::kNewValue, P::kSequencerTrigger, button == play_ ? 1.0f : 0.0f);
}

void CorvanSequencerFirstPanel::parameterChanged(int index, float value) {
    if (index == P::kSequencerSync) applySync(value);
}

void CorvanSequencerFirstPanel::applySync(float value) {
    const bool free = !seqgraph::isMarked(value);
    rateLabel_->setEnabled(free);
    rateKnob_->setEnabled(free);
}

void CorvanSequencerFirstPanel::resized() {
    const int w = getWidth();
    const std::array<int, kLineCount> lines = firstPanelLines(getHeight());
    for (size_t i = 0; i < children_.size(); ++i) {
        const Row& row = kRows[i];
        children_[i]->setBounds(row.x, lines[static_cast<size_t>(row.line)], row.width > 0 ? row.width : w + row.width,
                                row.height);
    }
    accentGroup_ = {15, lines[kAccentGroup], w - 30, 31};
}

void CorvanSequencerFirstPanel::paint(juce::Graphics& g) {
    CorvanLookAndFeel& look = *CorvanLookAndFeel::getInstance();
    g.setColour(look.greyColour);
    look.drawGroupOutline(g, "Accent", accentGroup_.getX(), accentGroup_.getY(), accentGroup_.getWidth(),
                          accentGroup_.getHeight(), 1.0f, 11);
}

} // namespace corvex
