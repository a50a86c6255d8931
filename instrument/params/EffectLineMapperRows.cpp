// Rows of the insert-effect chains: one selector per chain of a layer serves all the chain's rows.
#include <memory>

#include "instrument/params/CorvanParameters.h"
#include "instrument/params/EffectSelectorMapper.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

void addEffectLineRows(CorvanParameters& table, int layer) {
    for (int chain = 0; chain < 2; ++chain) {
        const auto selector = std::make_shared<EffectSelectorMapper>(layer, table, table.program(), chain);
        for (int folded = EffectChain::kFirstRowA; folded <= EffectChain::kLastRowA; ++folded)
            table.placeLayerMapper(ParameterIndex::foldEffectIndex(chain, folded), layer, selector);
        for (int folded = EffectChain::kSelectorRow; folded <= EffectChain::kLastRowC; ++folded)
            table.placeLayerMapper(ParameterIndex::foldEffectIndex(chain, folded), layer, selector);
    }
}

} // namespace corvex
