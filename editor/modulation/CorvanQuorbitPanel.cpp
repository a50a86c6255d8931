// The X/Y modulation page.
#include "editor/modulation/CorvanQuorbitPanel.h"

#include "editor/modulation/QuorbitTrails.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
namespace P = ParameterIndex;

// The shape parameter counts its steps Saw, Square, Sine, Triangle; the box lists the sine first.
const struct {
    const char* name;
    int id;
} kShapes[] = {{"Sine", 3}, {"Square", 2}, {"Saw", 1}, {"Triangle", 4}};

const char* const kGroupTitles[] = {"Lfo 1", "Lfo 2", "Axe Rotation"};
constexpr float kConnectorAlpha = 0.4f;
constexpr float kConnectorThickness = 0.5f;
constexpr int kOutlineInset = 3;

std::unique_ptr<juce::Label> makeLabel(const juce::String& name, const juce::String& text) {
    auto label = std::make_unique<juce::Label>(name, text);
    label->setFont(juce::Font(static_cast<float>(CorvanLookAndFeel::kFontHeight)));
    label->setJustificationType(juce::Justification::centred);
    return label;
}

juce::Path connector(const juce::Point<int>* corners, size_t count) {
    juce::Path path;
    path.startNewSubPath(corners[0].toFloat());
    for (size_t i = 1; i < count; ++i) path.lineTo(corners[i].toFloat());
    return path;
}
} // namespace

CorvanQuorbitPanel::CorvanQuorbitPanel(MVGuiInterface* gui) {
    freeRun_ = std::make_unique<CvnLcdButton>("Free Run", gui, P::kQuorbitFreeRun);
    addAndMakeVisible(*freeRun_);
    sync_ = std::make_unique<CvnLcdButton>("Sync.", gui, P::kQuorbitSync);
    addAndMakeVisible(*sync_);
    for (int i = 0; i < kLfos; ++i) {
        Lfo& lfo = lfos_[static_cast<size_t>(i)];
        const juce::String n(i);
        lfo.shapeLabel = makeLabel("Shape label " + n, "Shape");
        addAndMakeVisible(*lfo.shapeLabel);
        lfo.shape = std::make_unique<CvnLcdComboBox>("Lfo Shape Combo " + n, gui, P::kQuorbitShape + i);
        for (const auto& shape : kShapes) lfo.shape->addItem(shape.name, shape.id);
        lfo.shape->setUp(-1);
        addAndMakeVisible(*lfo.shape);
        lfo.rateLabel = makeLabel("Rate label " + n, "Rate");
        addAndMakeVisible(*lfo.rateLabel);
        lfo.rate = std::make_unique<CvnLcdKnob>(gui, P::kQuorbitRate + i);
        addAndMakeVisible(*lfo.rate);
    }
    for (size_t j = 0; j < kLfos; ++j) groups_[j].title = kGroupTitles[j];
    angleLabel_ = makeLabel("Angle label", "Angle");
    addAndMakeVisible(*angleLabel_);
    angle_ = std::make_unique<CvnLcdKnob>(gui, P::kQuorbitAngle);
    addAndMakeVisible(*angle_);
    screen_ = std::make_unique<CorvanQuorbitScreen>(gui);
    addAndMakeVisible(*screen_);
    xOutput_ = std::make_unique<CorvanModOutputPanel>(gui, "X Output", P::kQuorbitXDestination, P::kQuorbitXAmount,
                                                      -1, -1);
    addAndMakeVisible(*xOutput_);
    yOutput_ = std::make_unique<CorvanModOutputPanel>(gui, "Y Output", P::kQuorbitYDestination, P::kQuorbitYAmount,
                                                      -1, -1);
    addAndMakeVisible(*yOutput_);
}

CorvanQuorbitPanel::~CorvanQuorbitPanel() = default;

void CorvanQuorbitPanel::setVisible(bool shouldBeVisible) {
    screen_->setVisible(shouldBeVisible);
    MVPanel::setVisible(shouldBeVisible);
}

void CorvanQuorbitPanel::resized() {
    const quorbit::PagePlaces p = quorbit::pageLayout(getWidth(), getHeight());
    freeRun_->setBounds(p.freeRun);
    sync_->setBounds(p.sync);
    for (size_t j = 0; j < kLfos; ++j) {
        groups_[j].bounds = p.groups[j];
        lfos_[j].shapeLabel->setBounds(p.lfos[j].shapeLabel);
        lfos_[j].shape->setBounds(p.lfos[j].shape);
        lfos_[j].rateLabel->setBounds(p.lfos[j].rateLabel);
        lfos_[j].rate->setBounds(p.lfos[j].rate);
    }
    angleLabel_->setBounds(p.angleLabel);
    angle_->setBounds(p.angle);
    screen_->setBounds(p.screen);
    yOutput_->setBounds(p.yOutput);
    xOutput_->setBounds(p.xOutput);
    toYOutput_ = connector(p.toYOutput.data(), p.toYOutput.size());
    toXOutput_ = connector(p.toXOutput.data(), p.toXOutput.size());
}

void CorvanQuorbitPanel::paint(juce::Graphics& g) {
    auto* lnf = CorvanLookAndFeel::getInstance();
    const juce::Colour grey(CorvanLookAndFeel::kGrey);
    g.setColour(grey);
    lnf->drawGroupOutline(g, "Quorbit", kOutlineInset, kOutlineInset, getWidth() - 2 * kOutlineInset,
                          getHeight() - 2 * kOutlineInset, 1.0f, CorvanLookAndFeel::kFontHeight);
    for (const Group& group : groups_) {
        const juce::Rectangle<int>& b = group.bounds;
        lnf->drawGroupOutline(g, group.title, b.getX() + 3, b.getY() + 5, b.getWidth() - 6, b.getHeight() - 8, 1.0f,
                              CorvanLookAndFeel::kFontHeight);
    }
    g.setColour(grey.withAlpha(kConnectorAlpha));
    const juce::PathStrokeType stroke(kConnectorThickness);
    g.strokePath(toYOutput_, stroke);
    g.strokePath(toXOutput_, stroke);
}

} // namespace corvex
