// The LFO trigger: the momentary push button wearing the panel's own two faces, released and held.
#pragma once

#include "widgets/MVPushButton.h"

namespace corvex {

class CvnLfoButton : public MVPushButton {
public:
    explicit CvnLfoButton(MVGuiInterface* gui, int index = ParameterIndex::kLfoTrigger);
};

} // namespace corvex
