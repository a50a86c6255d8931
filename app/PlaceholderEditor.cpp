#include "app/PlaceholderEditor.h"

namespace corvex {

namespace {
constexpr int kWidth = 760;
constexpr int kHeight = 220;
constexpr int kMargin = 12;
const juce::Colour kPanel{0xff23262b};
const juce::Colour kText{0xffe6e2d8};
} // namespace

PlaceholderEditor::PlaceholderEditor(MorvaneAudioFilter& filter) : filter_(filter) {
    title_.setText("Corvex2", juce::dontSendNotification);
    title_.setFont(juce::Font(24.0f, juce::Font::bold));
    status_.setText("Play the keys below or a MIDI keyboard.", juce::dontSendNotification);
    for (juce::Label* label : {&title_, &status_, &cpu_}) {
        label->setColour(juce::Label::textColourId, kText);
        addAndMakeVisible(*label);
    }
    cpu_.setJustificationType(juce::Justification::centredRight);
    keyboard_.setAvailableRange(24, 108);
    keyboard_.setWantsKeyboardFocus(false);
    addAndMakeVisible(keyboard_);
    keyboardState_.addListener(this);
    setSize(kWidth, kHeight);
    timerCallback();
    startTimer(kCpuRefreshMs);
}

PlaceholderEditor::~PlaceholderEditor() {
    stopTimer();
    keyboardState_.removeListener(this);
}

void PlaceholderEditor::setDeviceStatus(const juce::String& text) { status_.setText(text, juce::dontSendNotification); }

void PlaceholderEditor::resized() {
    auto area = getLocalBounds().reduced(kMargin);
    auto top = area.removeFromTop(32);
    cpu_.setBounds(top.removeFromRight(160));
    title_.setBounds(top);
    status_.setBounds(area.removeFromTop(28));
    area.removeFromTop(kMargin / 2);
    keyboard_.setBounds(area);
}

void PlaceholderEditor::paint(juce::Graphics& g) { g.fillAll(kPanel); }

void PlaceholderEditor::handleNoteOn(juce::MidiKeyboardState*, int, int note, float velocity) {
    filter_.getMidiManager().sendNote(note, true, velocity);
}

void PlaceholderEditor::handleNoteOff(juce::MidiKeyboardState*, int, int note, float velocity) {
    filter_.getMidiManager().sendNote(note, false, velocity);
}

void PlaceholderEditor::timerCallback() {
    cpu_.setText("CPU " + juce::String(filter_.getCpuLoad()) + " %", juce::dontSendNotification);
}

} // namespace corvex
