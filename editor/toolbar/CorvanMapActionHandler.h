// What the toolbar's map button asks for: the preset map window, made on the first click and shown or hidden
// on every later one. The program hands the toolbar the real browser's handler; without one the button does
// nothing, which is all a window without the map can offer.
#pragma once

#include <memory>

namespace corvex {

class CorvanAudioFilter;
class CorvanMultiFilterManager;

// Message thread only.
class CorvanMapActionHandler {
public:
    virtual ~CorvanMapActionHandler() = default;
    virtual void toggleBrowser(CorvanMultiFilterManager* patches, CorvanAudioFilter* instrument) = 0;
};

} // namespace corvex
