// What the map view asks of the browser that shows it.
#pragma once

#include "presetmap/PresetMapRecord.h"

namespace corvex {

class IPresetSelector {
public:
    virtual ~IPresetSelector() = default;
    // Selects and loads the record's patch.
    virtual void setCurrentRecord(const PresetMapRecord* record) = 0;
    // Closes the browser window, deleting the views in it.
    virtual void closeBrowser() = 0;
};

} // namespace corvex
