// The gallery's GUI interface.
#include "tools/gallery/GalleryGui.h"

namespace corvex::gallery {

void GalleryGui::setValue(int index, float value) {
    values_[index] = value;
    listeners_.forEach(index, [&](MVParameterListener& l) { l.parameterChanged(index, value); });
}

void GalleryGui::setHighlight(int index, int code) {
    listeners_.forEach(index, [&](MVParameterListener& l) { l.highlightChanged(index, static_cast<float>(code)); });
}

void GalleryGui::notifyParameterEdit(int kind, int index, float value) {
    if (kind == kNewValue) setValue(index, value);
}

float GalleryGui::getParameter(int index) {
    const auto it = values_.find(index);
    return it != values_.end() ? it->second : 0.0f;
}

juce::String GalleryGui::getStringSetting(const juce::String& key, const juce::String& defaultValue) {
    const auto it = settings_.find(key);
    return it != settings_.end() ? it->second : defaultValue;
}

int GalleryGui::getIntSetting(const juce::String& key, int defaultValue) {
    const auto it = settings_.find(key);
    return it != settings_.end() ? it->second.getIntValue() : defaultValue;
}

} // namespace corvex::gallery
