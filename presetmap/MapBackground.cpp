#include "presetmap/MapBackground.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "presetmap/ISoundmapSupportBase.h"
#include "presetmap/InstrumentType.h"
#include "presets/SafeFileWrite.h"

namespace corvex {

namespace {

constexpr float kGlowPeak = 40.0f;
constexpr float kGlowExponent = 0.33f;
// pow(72000, 0.33) is above 40, so from this squared distance on a glow adds nothing: the pixels beyond it are
// skipped, and the image is the same as if every pixel had been visited.
constexpr float kGlowReachSquared = 72000.0f;
constexpr int kGlowReach = 269; // > sqrt(72000)

float glow(float d2) {
    if (d2 >= kGlowReachSquared) return 0.0f;
    const float v = kGlowPeak - std::pow(d2, kGlowExponent);
    return v > 0.0f ? v : 0.0f;
}

} // namespace

juce::Image renderMapBackground(const PresetMapRecords& records) {
    constexpr int n = kMapBackgroundSize;
    std::vector<float> sum(static_cast<size_t>(n) * n * 3);
    for (size_t p = 0; p < sum.size(); p += 3) {
        sum[p] = 0.1f;
        sum[p + 1] = 0.2f;
        sum[p + 2] = 0.1f;
    }
    for (const PresetMapRecord& record : records) {
        if (!std::isfinite(record.x) || !std::isfinite(record.y)) continue;
        const TypeColour c = instrumentTypeColour(record.type);
        // Only the square the glow reaches; a record far outside the image reaches no pixel.
        const float reach = static_cast<float>(kGlowReach);
        if (record.x < -reach || record.x > n - 1 + reach || record.y < -reach || record.y > n - 1 + reach) continue;
        const int i0 = std::max(0, static_cast<int>(std::floor(record.x - reach)));
        const int i1 = std::min(n - 1, static_cast<int>(std::ceil(record.x + reach)));
        const int j0 = std::max(0, static_cast<int>(std::floor(record.y - reach)));
        const int j1 = std::min(n - 1, static_cast<int>(std::ceil(record.y + reach)));
        for (int j = j0; j <= j1; ++j) {
            const float dy = record.y - static_cast<float>(j);
            for (int i = i0; i <= i1; ++i) {
                const float dx = record.x - static_cast<float>(i);
                const float v = glow(dx * dx + dy * dy);
                if (v == 0.0f) continue;
                float* pixel = &sum[(static_cast<size_t>(j) * n + static_cast<size_t>(i)) * 3];
                pixel[0] += c.red * v;
                pixel[1] += c.green * v;
                pixel[2] += c.blue * v;
            }
        }
    }

    float largest = 0.0f, smallest = 1e7f;
    for (const float value : sum) {
        largest = std::max(largest, value);
        smallest = std::min(smallest, value);
    }
    // The ground's two levels always differ, so the range is never empty.
    const float range = largest > smallest ? largest - smallest : 1.0f;

    juce::Image image(juce::Image::RGB, n, n, false);
    juce::Image::BitmapData pixels(image, juce::Image::BitmapData::writeOnly);
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const float* s = &sum[(static_cast<size_t>(j) * n + static_cast<size_t>(i)) * 3];
            const auto channel = [&](float value) {
                return static_cast<juce::uint8>(std::clamp((value - smallest) * 215.0f / range + 40.0f, 40.0f, 255.0f));
            };
            pixels.setPixelColour(i, j, juce::Colour(channel(s[0]), channel(s[1]), channel(s[2])));
        }
    }
    return image;
}

juce::MemoryBlock mapBackgroundPng(const PresetMapRecords& records) {
    juce::MemoryOutputStream png;
    if (!juce::PNGImageFormat().writeImageToStream(renderMapBackground(records), png)) return {};
    return png.getMemoryBlock();
}

bool writeMapBackground(ISoundmapSupportBase& support, const juce::MemoryBlock& png) {
    const std::string path = support.getBackgroundImagePath();
    if (path.empty() || png.getSize() == 0) return false;
    const juce::File file(juce::String::fromUTF8(path.data(), static_cast<int>(path.size())));
    return replaceFileSafely(file, png);
}

bool saveMapBackground(ISoundmapSupportBase& support, const PresetMapRecords& records) {
    if (support.getBackgroundImagePath().empty()) return false;
    return writeMapBackground(support, mapBackgroundPng(records));
}

} // namespace corvex
