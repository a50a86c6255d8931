// Pictures of components for a person to look at: written where CORVEX_SNAPSHOT_DIR points, when it is set.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

inline juce::Image snapshotOf(juce::Component& c) {
    return c.createComponentSnapshot(c.getLocalBounds(), true, 1.0f);
}

// False only when a picture was asked for and could not be written.
inline bool keepSnapshot(const juce::Image& image, const juce::String& name) {
    const juce::String dir = juce::SystemStats::getEnvironmentVariable("CORVEX_SNAPSHOT_DIR", {});
    if (dir.isEmpty()) return true;
    juce::File file = juce::File(dir).getChildFile(name);
    file.deleteFile();
    juce::FileOutputStream out(file);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream(image, out);
}

} // namespace corvex
