// The product kernel: its four part programs, its kernel-global records, the output buffers and transport.
#pragma once

#include "engine/kernel/CorvexProgram.h"
#include "engine/kernel/SoftwareKernel.h"
#include "engine/modules/ModuleSlots.h"

namespace corvex {

class CorvexKernel : public SoftwareKernel {
public:
    enum class Transport { Stopped = 0, Starting = 1, Running = 2, Stopping = 3 };

    CorvexKernel();

    void getOutputBuffers(float* bus[kOutputBusCount]) override;
    int createPrograms() override;
    void deletePrograms() override;
    void perBlockHook() override {}
    void runModuleGraph() override;
    int buildModuleGraph() override;
    void handleModuleData(int slot, int length, const uint16_t* data) override;
    void setGlobalParameter(int slot, int parameter, int16_t value, float* echoValue, int* inOutValue) override;
    void startTransport() override;
    void stopTransport() override;

    Transport transport() const { return transport_; }
    float transportRun() const { return transportRun_; }
    ParameterRecord& globalRecord(int slot) { return globalRecords_[slot - kFirstGlobalSlot]; }

protected:
    static constexpr int kGlobalSlotCount = kModuleSlotCount - kFirstGlobalSlot;
    static constexpr int kEffectSlotCount = SlotIndex::EffectCount;

    // Kernel-global modules by slot (32..40); empty until the module graph is built.
    void* globalModules_[kGlobalSlotCount] = {};

private:
    void runTransportStream(uint16_t value);
    void loadKeyRanges(const uint16_t* data, int length);

    CorvexProgram programStorage_[kPartCount];
    ParameterRecord globalRecords_[kGlobalSlotCount];
    ParameterRecord hostedRecords_[kEffectSlotCount];
    Transport transport_ = Transport::Stopped;
    float lastTransportRun_ = 0.0f;
};

} // namespace corvex
