#include "editor/sequencer/CorvanSequencerThirdPanel.h"

#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
namespace P = ParameterIndex;
using seqgraph::kSteps;

constexpr int kToolRadioGroup = 1;
constexpr int kBoxSize = 9;
constexpr int kRowSpacing = 14;

struct CheckRow {
    const char* labelName;
    const char* labelText;
    const char* boxLetter;
    int firstIndex;
};
constexpr CheckRow kCheckRows[CorvanSequencerThirdPanel::kRowCount] = {
    {"Link Label", "Link", "L", P::kSequencerFirstLink},
    {"Glide Label", "Glide", "G", P::kSequencerFirstGlide},
    {"Accent Label", "Accent", "A", P::kSequencerFirstAccent},
};

bool isIn(int index, int first) { return index >= first && index < first + kSteps; }
} // namespace

CorvanSequencerThirdPanel::CorvanSequencerThirdPanel(MVGuiInterface* gui)
    : gui_(gui),
      graph_(gui),
      pen_("Pen Tool", gui),
      line_("Line Tool", gui),
      eraser_("Eraser Tool", gui),
      random_("Random Sequence", gui),
      clear_("Clear Sequence", gui),
      bindings_(gui, this) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    addAndMakeVisible(graph_);
    const juce::Font font(static_cast<float>(CorvanLookAndFeel::getInstance()->getDefaultFontHeight()));
    for (int row = 0; row < kRowCount; ++row) {
        auto& label = labels_[static_cast<size_t>(row)];
        label = std::make_unique<juce::Label>(kCheckRows[row].labelName, kCheckRows[row].labelText);
        label->setFont(font);
        label->setJustificationType(juce::Justification::centredRight);
        addAndMakeVisible(*label);
    }
    for (int i = 0; i < kSteps; ++i) {
        for (int row = 0; row < kRowCount; ++row) {
            const CheckRow& checkRow = kCheckRows[row];
            auto& box = boxes_[static_cast<size_t>(row)][static_cast<size_t>(i)];
            box = std::make_unique<CvnSmallLcdCheckBox>(gui_, checkRow.firstIndex + i, checkRow.boxLetter + juce::String(i));
            box->addListener(this);
            addAndMakeVisible(*box);
        }
    }
    for (juce::Button* tool : {static_cast<juce::Button*>(&pen_), static_cast<juce::Button*>(&line_),
                               static_cast<juce::Button*>(&eraser_)}) {
        tool->setClickingTogglesState(true);
        tool->setRadioGroupId(kToolRadioGroup);
    }
    pen_.setToggleState(true, juce::dontSendNotification);
    for (juce::Button* tool : {static_cast<juce::Button*>(&pen_), static_cast<juce::Button*>(&line_),
                               static_cast<juce::Button*>(&eraser_), static_cast<juce::Button*>(&random_),
                               static_cast<juce::Button*>(&clear_)}) {
        tool->addListener(this);
        addAndMakeVisible(tool);
    }

    labels_[kLinkRow]->setEnabled(false);
    for (auto& box : boxes_[kLinkRow]) box->setEnabled(false);
    parameterChanged(P::kSequencerRetrigger, gui_->getParameter(P::kSequencerRetrigger));
    quantisationBeat_ = seqgraph::quantisationBeat(gui_->getParameter(P::kSequencerQuantize));
    bindings_.bind(P::kSequencerRetrigger);
    bindings_.bind(P::kSequencerQuantize);
    // The graph's marks follow what the layer holds when a preset loads or the shown layer changes, not only
    // what is clicked here.
    bindings_.bindRange(P::kSequencerFirstLink, kSteps);
    bindings_.bindRange(P::kSequencerFirstAccent, kSteps);
}

CorvanSequencerThirdPanel::~CorvanSequencerThirdPanel() {
    bindings_.unbindAll();
    for (auto& row : boxes_)
        for (auto& box : row) box->removeListener(this);
    for (juce::Button* tool : {static_cast<juce::Button*>(&pen_), static_cast<juce::Button*>(&line_),
                               static_cast<juce::Button*>(&eraser_), static_cast<juce::Button*>(&random_),
                               static_cast<juce::Button*>(&clear_)})
        tool->removeListener(this);
    setLookAndFeel(nullptr);
}

void CorvanSequencerThirdPanel::setVisible(bool shouldBeVisible) {
    graph_.setVisible(shouldBeVisible);
    MVPanel::setVisible(shouldBeVisible);
}

void CorvanSequencerThirdPanel::buttonClicked(juce::Button* button) {
    if (button == &random_) return graph_.randomiseSteps();
    if (button == &clear_) return graph_.clearSteps();
    if (button == &pen_) return graph_.setTool(SequencerTool::Pen);
    if (button == &line_) return graph_.setTool(SequencerTool::Line);
    if (button == &eraser_) return graph_.setTool(SequencerTool::Eraser);
    for (int i = 0; i < kSteps; ++i) {
        const auto s = static_cast<size_t>(i);
        if (button == boxes_[kLinkRow][s].get()) return graph_.setStepLink(i, button->getToggleState());
        if (button == boxes_[kAccentRow][s].get()) return graph_.setStepAccent(i, button->getToggleState());
    }
}

void CorvanSequencerThirdPanel::parameterChanged(int index, float value) {
    if (index == P::kSequencerRetrigger) {
        enableLinks(seqgraph::isMarked(value));
    } else if (index == P::kSequencerQuantize) {
        quantisationBeat_ = seqgraph::quantisationBeat(value);
        repaint();
    } else if (isIn(index, P::kSequencerFirstLink)) {
        if (linkEnabled_) graph_.setStepLink(index - P::kSequencerFirstLink, seqgraph::isMarked(value));
    } else if (isIn(index, P::kSequencerFirstAccent)) {
        graph_.setStepAccent(index - P::kSequencerFirstAccent, seqgraph::isMarked(value));
    }
}

// The stored links stay as they are: hiding them only takes them off the screen.
void CorvanSequencerThirdPanel::enableLinks(bool enable) {
    if (enable == linkEnabled_) return;
    for (int i = 0; i < kSteps; ++i) {
        CvnSmallLcdCheckBox& box = *boxes_[kLinkRow][static_cast<size_t>(i)];
        box.setEnabled(enable);
        const bool linked = enable && seqgraph::isMarked(gui_->getParameter(P::kSequencerFirstLink + i));
        if (enable) box.setToggleState(linked, juce::dontSendNotification);
        graph_.setStepLink(i, linked);
    }
    labels_[kLinkRow]->setEnabled(enable);
    linkEnabled_ = enable;
}

void CorvanSequencerThirdPanel::resized() {
    const int w = getWidth();
    const int h = getHeight();
    const int b = (h - 64) / 5;
    toolSize_ = b;
    graph_.setBounds(b + 4, 0, w - b - 4, h - 44);
    stepWidth_ = graph_.getStepWidth();
    graphLeft_ = b + 4 + seqgraph::kFrameLeft;
    const int centring = (stepWidth_ - kBoxSize) / 2;
    for (int row = 0; row < kRowCount; ++row) {
        labels_[static_cast<size_t>(row)]->setBounds(b - 25, h - 42 + row * kRowSpacing, 40, 14);
        for (int i = 0; i < kSteps; ++i)
            boxes_[static_cast<size_t>(row)][static_cast<size_t>(i)]->setBounds(
                graphLeft_ + i * stepWidth_ + centring, h - 40 + row * kRowSpacing, kBoxSize, kBoxSize);
    }
    pen_.setBounds(0, 10, b, b);
    line_.setBounds(0, b + 12, b, b);
    eraser_.setBounds(0, 2 * b + 14, b, b);
    random_.setBounds(0, h - 46 - 2 * b, b, b);
    clear_.setBounds(0, h - 44 - b, b, b);
}

void CorvanSequencerThirdPanel::paint(juce::Graphics& g) {
    const juce::Colour grey = CorvanLookAndFeel::getInstance()->greyColour;
    const int h = getHeight();
    const auto top = static_cast<float>(seqgraph::kGridTop);
    for (int i = 1; i < kSteps; ++i) {
        const bool onBeat = quantisationBeat_ != 0 && i % quantisationBeat_ == 0;
        g.setColour(grey.withAlpha(onBeat ? 0.5f : 0.2f));
        const auto x = static_cast<float>(graphLeft_ + i * stepWidth_);
        g.drawLine(x, top, x, static_cast<float>(h));
    }
    g.setColour(grey.withAlpha(0.2f));
    const auto left = static_cast<float>(toolSize_ - 25);
    const auto right = static_cast<float>(getGraphRight());
    for (int y : {h - 29, h - 15, h - 1})
        g.drawLine(left, static_cast<float>(y), right, static_cast<float>(y));
}

} // namespace corvex
