// What a preset page hears from its result list.
#pragma once

namespace corvex {

class CorvanPresetPanelInterface {
public:
    virtual ~CorvanPresetPanelInterface() = default;
    // A row the user (or the page itself) selected; never -1.
    virtual void resultRowSelected(int row) = 0;
};

} // namespace corvex
