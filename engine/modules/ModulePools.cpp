#include "engine/modules/ModulePools.h"

#include "engine/modules/ModuleTypes.h"

namespace corvex {

ModulePoolBase* ModulePools::poolForType(int type) const { return pool(poolIndexForType(type)); }

} // namespace corvex
