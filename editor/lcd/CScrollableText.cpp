#include "editor/lcd/CScrollableText.h"

#include <cmath>

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {

constexpr const char* kVersion = "2.0.1";
constexpr int kBuildNumber = 1;
constexpr float kFontHeight = 12.0f;

// Ends at the first empty line; a blank line between sections is a single space.
constexpr const char* kCredits[] = {
    " ",
    "Sound engine",
    "the Corvex2 team",
    " ",
    "Instrument, presets and preset map",
    "the Corvex2 team",
    " ",
    "Editor, widgets and artwork",
    "the Corvex2 team",
    " ",
    "Factory sounds",
    "the Corvex2 team",
    " ",
    "Testing",
    "the Corvex2 team",
    " ",
    "Thank you for playing Corvex2.",
    "",
};

} // namespace

int CScrollableText::offsetAt(juce::uint32 now, juce::uint32 resumeTime, int viewHeight, int imageHeight,
                              int current) {
    if (now <= resumeTime) return current;
    int offset = static_cast<int>((now - resumeTime) / static_cast<juce::uint32>(kMsPerRow)) + viewHeight;
    if (imageHeight > 0 && offset > imageHeight) offset %= imageHeight;
    return offset;
}

CScrollableText::CScrollableText(MVMillisecondClock clock) : clock_(std::move(clock)) {
    const juce::Font font(kFontHeight);
    text_.setJustification(juce::Justification::left);
    text_.append(juce::String("Corvex2 ") + kVersion + " (" + juce::String(kBuildNumber) + ")\n", font,
                 juce::Colours::white);
    text_.append(juce::String(__DATE__) + " " + __TIME__ + "\n", font, juce::Colours::white);
    for (const char* line : kCredits) {
        if (*line == '\0') break;
        text_.append(juce::String(line) + "\n", font, juce::Colours::white);
    }
}

CScrollableText::~CScrollableText() { stopTimer(); }

void CScrollableText::setVisible(bool shown) {
    if (shown) {
        startTimer(kRepaintMs);
        resumeTime_ = clock_() + static_cast<juce::uint32>(kPauseMs);
        offset_ = getHeight();
    } else {
        stopTimer();
    }
    juce::Component::setVisible(shown);
}

void CScrollableText::resized() {
    layout_.createLayout(text_, static_cast<float>(getWidth()));
    const int textHeight = static_cast<int>(std::ceil(layout_.getHeight()));
    const int width = juce::jmax(1, static_cast<int>(std::ceil(layout_.getWidth())));
    imageHeight_ = juce::jmax(1, textHeight + getHeight());
    image_ = juce::Image(juce::Image::ARGB, width, imageHeight_, true);
    juce::Graphics g(image_);
    layout_.draw(g, juce::Rectangle<float>(0.0f, static_cast<float>(getHeight()), static_cast<float>(width),
                                           static_cast<float>(textHeight)));
    offset_ = getHeight();
}

void CScrollableText::paint(juce::Graphics& g) {
    if (!image_.isValid()) return;
    g.setColour(CorvanLookAndFeel::getInstance()->greyColour);
    g.drawImage(image_, 0, 0, getWidth(), getHeight(), 0, offset_, getWidth(), getHeight(), true);
}

void CScrollableText::timerCallback() {
    offset_ = offsetAt(clock_(), resumeTime_, getHeight(), imageHeight_, offset_);
    repaint();
}

} // namespace corvex
