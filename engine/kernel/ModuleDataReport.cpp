// The kernel's side of a module's data report: a type-37 record in the notification space.
#include "engine/modules/ModuleDataReport.h"

#include "engine/kernel/KernelBase.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ParameterRecord.h"

namespace corvex {

uint8_t* requestModuleDataReport(EngineContext* context, const ParameterRecord& record, int writerByte, int size) {
    if (context == nullptr || context->kernel == nullptr) return nullptr;
    return context->kernel->allocDataNotification(record.partNumber, record.group, record.type, record.instance,
                                                  writerByte, size);
}

} // namespace corvex
