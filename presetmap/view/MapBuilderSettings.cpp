#include "presetmap/view/MapBuilderSettings.h"

#include "editor/ModalCalls.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {

struct WeightRow {
    const char* key;
    const char* caption;
    const char* sliderName;
    int y;
};
constexpr std::array<WeightRow, MapBuilderSettings::kWeightCount> kRows{{
    {"Inst", "Instrument Weight:", "slider inst", 8},
    {"Att", "Attributes Weight:", "slider attribs", 32},
    {"Par", "Parameters Weight:", "slider params", 56},
    {"Matx", "Matrix Weight:", "slider matrix", 80},
}};
constexpr int kLabelX = 8, kLabelWidth = 150, kSliderX = 184, kSliderWidth = 280, kRowHeight = 24;
constexpr int kTextBoxWidth = 80;
const juce::Rectangle<int> kOkBounds{209, 144, 150, 24};
constexpr double kMaxWeight = 10.0;

} // namespace

MapBuilderSettings::MapBuilderSettings() {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    for (size_t n = 0; n < kRows.size(); ++n) {
        labels_[n].setName("new label");
        labels_[n].setText(kRows[n].caption, juce::dontSendNotification);
        addAndMakeVisible(labels_[n]);
        juce::Slider& slider = sliders_[n];
        slider.setName(kRows[n].sliderName);
        slider.setSliderStyle(juce::Slider::LinearHorizontal);
        slider.setRange(0.0, kMaxWeight, 0.0);
        slider.setTextBoxStyle(juce::Slider::TextBoxRight, false, kTextBoxWidth, kRowHeight);
        slider.setNumDecimalPlacesToDisplay(2);
        addAndMakeVisible(slider);
    }
    ok_.setButtonText("OK");
    ok_.addListener(this);
    addAndMakeVisible(ok_);
    setSize(kWidth, kHeight);
}

MapBuilderSettings::~MapBuilderSettings() { setLookAndFeel(nullptr); }

int MapBuilderSettings::sliderOf(std::string_view key) const {
    for (size_t n = 0; n < kRows.size(); ++n)
        if (key == kRows[n].key) return static_cast<int>(n);
    return -1;
}

void MapBuilderSettings::setWeight(std::string_view key, float value) {
    const int n = sliderOf(key);
    if (n >= 0) sliders_[static_cast<size_t>(n)].setValue(value, juce::sendNotificationSync);
}

float MapBuilderSettings::getWeight(std::string_view key) const {
    const int n = sliderOf(key);
    return n >= 0 ? static_cast<float>(sliders_[static_cast<size_t>(n)].getValue()) : 0.0f;
}

void MapBuilderSettings::buttonClicked(juce::Button* button) {
    if (button != &ok_) return;
    accepted_ = true;
    closeDialog();
}

void MapBuilderSettings::paint(juce::Graphics& g) { g.fillAll(CorvanLookAndFeel::getInstance()->darkColour); }

void MapBuilderSettings::resized() {
    for (size_t n = 0; n < kRows.size(); ++n) {
        labels_[n].setBounds(kLabelX, kRows[n].y, kLabelWidth, kRowHeight);
        sliders_[n].setBounds(kSliderX, kRows[n].y, kSliderWidth, kRowHeight);
    }
    ok_.setBounds(kOkBounds);
}

bool MapBuilderSettings::editWeights(ModalCalls& modal, MapWeights& weights) {
    MapBuilderSettings settings;
    for (const WeightRow& row : kRows) settings.setWeight(row.key, weights.get(row.key));
    modal.runDialog(settings, kTitle, kWidth, kHeight);
    if (!settings.wasAccepted()) return false;
    for (const WeightRow& row : kRows) weights.set(row.key, settings.getWeight(row.key));
    return true;
}

} // namespace corvex
