#include "instrument/state/StateLoadListener.h"

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"

namespace corvex {

namespace {
constexpr int kKeyboardSlot = 33;
constexpr int kSplitKeyIndex = 972;
constexpr int kMultiModeIndex = 971;
constexpr int kHostParameterCount = 211;
} // namespace

void finishStateLoad(CorvanKernelProgram& program, CorvanParameters& table, StateLoadListener& listener, int layer) {
    // First, so that the split and key mode pushed next, the editor and the host all meet the loaded choices.
    table.followLoad(layer);
    if (layer >= 0) program.sendBlock(0, kKeyboardSlot);
    // The key mode places the layers around the split key, so the key goes first.
    table.pushCachedValue(kSplitKeyIndex);
    table.pushCachedValue(kMultiModeIndex);
    if (layer >= 0)
        listener.refreshLayerParameters(layer);
    else
        listener.refreshGlobalParameters();
    listener.setLoading(true);
    for (int i = 0; i < kHostParameterCount; ++i) listener.reportHostParameter(i);
    listener.setLoading(false);
}

} // namespace corvex
