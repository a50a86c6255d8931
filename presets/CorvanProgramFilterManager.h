// One layer's programs: the Lower layer's (id 0) or the Upper layer's (id 1), over the one program manager.
#pragma once

#include "presets/MorvanePresetFilterManager.h"

namespace corvex {

class CorvanProgramFilterManager : public MorvanePresetFilterManager {};

} // namespace corvex
