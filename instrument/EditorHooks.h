// What the instrument asks of its editor, whichever editor is shown (or a test's fake).
#pragma once

#include <memory>

#include "instrument/PointRecord.h"

namespace corvex {

// Message thread only.
class EditorHooks {
public:
    virtual ~EditorHooks() = default;
    // The widgets of an index follow a value, later, on the message thread.
    virtual void parameterChanged(int index, float value) = 0;
    // The listeners of a GUI message id receive the record (id 0: a layer's trajectory points).
    virtual void postGuiMessage(int id, std::shared_ptr<const PointRecord> record) = 0;
    // A value as a kernel module's setter reported it.
    virtual void kernelParameterChanged(int section, int moduleSlot, int parameter, int valueByte, float value) = 0;
    // After a layer (0 Upper, 1 Lower) or the patch was read: the widgets re-read their values.
    virtual void refreshLayerParameters(int layer) = 0;
    virtual void refreshGlobalParameters() = 0;
    // Before the host state is written: the editor stores its LCD page into the instrument.
    virtual void storeLcdPageParameter() = 0;
};

} // namespace corvex
