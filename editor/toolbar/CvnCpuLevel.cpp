// The toolbar's CPU meter.
#include "editor/toolbar/CvnCpuLevel.h"

#include <algorithm>

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

CvnCpuLevel::CvnCpuLevel(std::function<int()> readLoad) : readLoad_(std::move(readLoad)) {
    shownLoad_ = readLoad_ ? readLoad_() : 0;
    startTimer(kPollMs);
}

CvnCpuLevel::~CvnCpuLevel() { stopTimer(); }

int CvnCpuLevel::barWidth(int width, int load) { return (width - 2) * std::clamp(load, 0, 100) / 100; }

juce::String CvnCpuLevel::loadText(int load) { return juce::String(load) + " %"; }

bool CvnCpuLevel::poll() {
    const int load = readLoad_ ? readLoad_() : 0;
    if (load == shownLoad_) return false;
    shownLoad_ = load;
    repaint();
    return true;
}

void CvnCpuLevel::paint(juce::Graphics& g) {
    CorvanLookAndFeel& look = *CorvanLookAndFeel::getInstance();
    const float w = static_cast<float>(getWidth());
    const float h = static_cast<float>(getHeight());
    g.setColour(look.darkColour);
    g.fillRoundedRectangle(1.0f, 1.0f, w - 2.0f, h - 2.0f, kCorner);
    g.setColour(look.greyColour.brighter(0.2f));
    g.fillRoundedRectangle(1.0f, 1.0f, static_cast<float>(barWidth(getWidth(), shownLoad_)), h - 2.0f, kCorner);
    g.setColour(look.greyColour);
    g.drawRoundedRectangle(1.0f, 1.0f, w - 2.0f, h - 2.0f, kCorner, 1.0f);
    g.setColour(look.lightColour);
    g.setFont(juce::Font(CorvanLookAndFeel::kTypefaceName, static_cast<float>(look.getDefaultFontHeight()),
                         juce::Font::plain));
    g.drawText(loadText(shownLoad_), getLocalBounds(), juce::Justification::centred, false);
}

} // namespace corvex
