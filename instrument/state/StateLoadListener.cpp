#include "instrument/state/StateLoadListener.h"

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"

namespace corvex {

namespace {
constexpr int kKeyboardSlot = 33;
} // namespace

void finishStateLoad(CorvanKernelProgram& program, CorvanParameters& table, StateLoadListener& listener, int layer) {
    // First, so that the split and key mode pushed next, the editor and the host all meet the loaded choices.
    table.followLoad(layer);
    if (layer >= 0) program.sendBlock(0, kKeyboardSlot);
    // The key mode places the layers around the split key, so the key goes first.
    table.pushCachedValue(ParameterIndex::kSplitKey);
    table.pushCachedValue(ParameterIndex::kKeyMode);
    if (layer >= 0)
        listener.refreshLayerParameters(layer);
    else
        listener.refreshGlobalParameters();
    listener.setLoading(true);
    for (int i = 0; i < ParameterIndex::kHostCount; ++i) listener.reportHostParameter(i);
    listener.setLoading(false);
}

} // namespace corvex
