// What the instrument does around a state load that the chunk readers cannot do themselves: its editor,
// its host and its loading flag.
#pragma once

namespace corvex {

class CorvanKernelProgram;
class CorvanParameters;

class StateLoadListener {
public:
    virtual ~StateLoadListener() = default;
    // Only an attached editor re-reads its widgets: the instrument checks for one.
    virtual void refreshLayerParameters(int layer) = 0;
    virtual void refreshGlobalParameters() = 0;
    // While set, parameter writes coming back from the host are ignored.
    virtual void setLoading(bool loading) = 0;
    // The host hears one of its visible values (the instrument reads it, and reports it only when host
    // callbacks are set).
    virtual void reportHostParameter(int index) = 0;
};

// After a layer (layer 0 or 1) or the patch (layer -1) was read: the table's mappers follow what was loaded,
// the keyboard block and the split and key mode values reach the kernel again, whatever the stream held,
// then the editor and the host catch up.
void finishStateLoad(CorvanKernelProgram& program, CorvanParameters& table, StateLoadListener& listener, int layer);

} // namespace corvex
