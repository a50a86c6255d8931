// Comparing presets by a folded attribute value and a folded name.
#include "presets/PresetSortOrder.h"

#include <algorithm>
#include <string>

#include "presets/MorvanePreset.h"

namespace corvex {

namespace {

std::u16string foldedUtf16(const juce::String& text) {
    std::u16string out;
    for (auto p = text.getCharPointer(); !p.isEmpty(); ++p) {
        juce::juce_wchar c = *p;
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

} // namespace

void PresetSortOrder::set(const juce::String& key, int direction) {
    key_ = key;
    direction_ = direction;
}

bool PresetSortOrder::before(const MorvanePreset& a, const MorvanePreset& b) const {
    if (key_.isNotEmpty()) {
        const std::u16string valueA = foldedUtf16(a.getAttribute(key_));
        const std::u16string valueB = foldedUtf16(b.getAttribute(key_));
        if (valueA != valueB)
            return direction_ > 0 ? valueA < valueB : valueB < valueA;
    }
    return foldedUtf16(a.getName()) < foldedUtf16(b.getName());
}

void PresetSortOrder::sort(std::vector<MorvanePreset*>& presets) const {
    std::sort(presets.begin(), presets.end(),
              [this](const MorvanePreset* a, const MorvanePreset* b) { return before(*a, *b); });
}

} // namespace corvex
