#include "engine/kernel/KernelBase.h"

#include "engine/kernel/CorvexProgram.h"
#include "engine/modules/EngineContext.h"
#include "engine/kernel/NotificationHeader.h"

namespace corvex {

uint8_t* KernelBase::allocDataNotification(int section, int group, int type, int instance, int writerByte, int size) {
    if (size < 0 || size > 0xFFFF) return nullptr;
    uint8_t* record = allocNotification(size + kDataNotificationHeadBytes);
    if (record == nullptr) return nullptr;
    NotificationHeader::about(NotificationType::DataBlock, section, group, type, instance, writerByte, size).write(record);
    return record + kDataNotificationHeadBytes;
}

void KernelBase::initialise() {
    context_.kernel = this;
    context_.reserveModuleData = [](KernelBase* kernel, int section, int group, int type, int instance,
                                    int writerByte, int size) {
        return kernel->allocDataNotification(section, group, type, instance, writerByte, size);
    };
    context_.stampBlockStart();
    buildModuleGraph();
    createPrograms();
    for (int p = 0; p < kPartCount; ++p) {
        CorvexProgram* program = programs_[p];
        if (program == nullptr) continue;
        program->context = &context_;
        program->pools = &pools_;
        program->voices = voices_;
        program->partNumber = p;
        program->reset();
    }
    for (int i = 0; i < kVoiceCount; ++i) {
        VoiceRecord& v = voices_[i];
        v = VoiceRecord{};
        v.context = &context_;
        v.pools = &pools_;
        v.index = static_cast<uint8_t>(i);
    }
}

} // namespace corvex
