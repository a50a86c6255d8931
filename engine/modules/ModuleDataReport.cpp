// A module's data report goes through the reserver the kernel put in the engine context.
#include "engine/modules/ModuleDataReport.h"

#include "engine/modules/EngineContext.h"
#include "engine/modules/ParameterRecord.h"

namespace corvex {

uint8_t* requestModuleDataReport(EngineContext* context, const ParameterRecord& record, int writerByte, int size) {
    if (context == nullptr || context->reserveModuleData == nullptr) return nullptr;
    return context->reserveModuleData(context->kernel, record.partNumber, record.group, record.type, record.instance,
                                      writerByte, size);
}

} // namespace corvex
