// The LFO LED and its pictures.
#include "widgets/CvnLfoLed.h"

namespace corvex {

namespace {
constexpr juce::int64 kLitKey = 0x43766e4c65644c69; // "CvnLedLi"
constexpr juce::int64 kBaseKey = 0x43766e4c65644261; // "CvnLedBa"

juce::Image drawLed(juce::Colour centre, juce::Colour rim) {
    juce::Image image(juce::Image::ARGB, CvnLfoLed::kWidth, CvnLfoLed::kHeight, true);
    juce::Graphics g(image);
    const juce::Rectangle<float> disc(1.0f, 1.5f, 10.0f, 10.0f);
    g.setGradientFill(juce::ColourGradient(centre, disc.getCentreX() - 1.0f, disc.getCentreY() - 1.0f, rim,
                                           disc.getRight(), disc.getBottom(), true));
    g.fillEllipse(disc);
    g.setColour(rim.darker(0.5f));
    g.drawEllipse(disc, 1.0f);
    return image;
}

juce::Image cached(juce::int64 key, juce::Colour centre, juce::Colour rim) {
    juce::Image image = juce::ImageCache::getFromHashCode(key);
    if (!image.isValid()) {
        image = drawLed(centre, rim);
        juce::ImageCache::addImageToCache(image, key);
    }
    return image;
}
} // namespace

juce::Image CvnLfoLed::litImage() { return cached(kLitKey, juce::Colour(0xFFFFE0A0), juce::Colour(0xFFD06A1C)); }
juce::Image CvnLfoLed::baseImage() { return cached(kBaseKey, juce::Colour(0xFF5A4630), juce::Colour(0xFF2A2018)); }

CvnLfoLed::CvnLfoLed(MVGuiInterface* gui, int index)
    : gui_(gui), index_(index), lit_(litImage()), binding_(gui, this) {
    const juce::Image base = baseImage();
    setSize(base.getWidth(), base.getHeight());
    // Never takes the mouse: clicks fall through to the panel behind.
    setInterceptsMouseClicks(false, false);
    if (gui_ != nullptr) {
        parameterChanged(index_, gui_->getParameter(index_));
        binding_.bind(index_);
    }
}

CvnLfoLed::~CvnLfoLed() { binding_.unbind(); }

// The blink arrives often and mostly repeats itself: an unchanged value repaints nothing.
void CvnLfoLed::parameterChanged(int, float value) {
    const float alpha = juce::jlimit(0.0f, 1.0f, value);
    if (shown_.isValid() && alpha == shownAlpha_) return;
    shownAlpha_ = alpha;
    shown_ = lit_.createCopy();
    shown_.multiplyAllAlphas(alpha);
    repaint();
}

void CvnLfoLed::paint(juce::Graphics& g) {
    if (shown_.isValid()) g.drawImageAt(shown_, 0, 0);
}

} // namespace corvex
