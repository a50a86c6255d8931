#include "app/StandaloneEditor.h"

#include "instrument/CorvanAudioFilter.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr int kMargin = 8;
const juce::Colour kStrip{0xff15161a};
const juce::Colour kText{0xffe6e2d8};
} // namespace

StandaloneEditor::StandaloneEditor(CorvanAudioFilter& instrument, const MorvaneFindFolder& folder)
    : LayerFoldingEditor(&instrument, folder), instrument_(instrument) {
    title_.setText("Corvex2", juce::dontSendNotification);
    title_.setFont(juce::Font(CorvanLookAndFeel::kTypefaceName, 15.0f, juce::Font::bold));
    status_.setText("Play the keys below or a MIDI keyboard.", juce::dontSendNotification);
    for (juce::Label* label : {&title_, &status_, &cpu_}) {
        label->setColour(juce::Label::textColourId, kText);
        if (label != &title_) label->setFont(juce::Font(CorvanLookAndFeel::kTypefaceName, 12.0f, juce::Font::plain));
        addAndMakeVisible(*label);
    }
    cpu_.setJustificationType(juce::Justification::centredRight);
    panel_ = std::make_unique<CorvanControlPanel>(this, instrument.getPatchFilterManager(), modalCalls_);
    addAndMakeVisible(*panel_);
    setSize(panel_->getWidth(), kStripHeight + panel_->getHeight());
    timerCallback();
    startTimer(kCpuRefreshMs);
}

StandaloneEditor::~StandaloneEditor() {
    stopTimer();
    // The panel's widgets leave the messenger before the editor base takes it down.
    panel_.reset();
}

void StandaloneEditor::setDeviceStatus(const juce::String& text) { status_.setText(text, juce::dontSendNotification); }

void StandaloneEditor::resized() {
    auto strip = getLocalBounds().removeFromTop(kStripHeight).reduced(kMargin, 0);
    title_.setBounds(strip.removeFromLeft(90));
    cpu_.setBounds(strip.removeFromRight(110));
    status_.setBounds(strip);
    panel_->setTopLeftPosition(0, kStripHeight);
}

void StandaloneEditor::paint(juce::Graphics& g) { g.fillAll(kStrip); }

void StandaloneEditor::timerCallback() {
    cpu_.setText("CPU " + juce::String(instrument_.getCpuLoad()) + " %", juce::dontSendNotification);
}

} // namespace corvex
