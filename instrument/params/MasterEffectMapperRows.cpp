// Global rows of the two master-effect slots: one selector serves all 26 rows of its slot.
#include <memory>

#include "instrument/params/CorvanParameters.h"
#include "instrument/params/MasterEffectMappers.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

void addMasterEffectRows(CorvanParameters& table) {
    for (int effectSlot = 0; effectSlot < 2; ++effectSlot) {
        const auto selector = std::make_shared<FxSelectorMapper>(table, table.program(), effectSlot);
        for (int row = FxSelectorMapper::kFirstParameterRow; row <= FxSelectorMapper::kLastParameterRow; ++row)
            table.placeGlobalMapper(FxMapper::unfoldIndex(row, effectSlot), selector);
        for (int row = FxSelectorMapper::kChoiceRow; row <= FxSelectorMapper::kLastExtraRow; ++row)
            table.placeGlobalMapper(FxMapper::unfoldIndex(row, effectSlot), selector);
    }
}

} // namespace corvex
