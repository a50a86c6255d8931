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
    void* globalModule(int slot) const;
    const ModuleManager& kernelConnections() const { return kernelConnections_; }

    static constexpr int kFixedConnectionCount = 16;

protected:
    static constexpr int kGlobalSlotCount = kModuleSlotCount - kFirstGlobalSlot;
    static constexpr int kEffectSlotCount = SlotIndex::EffectCount;


private:
    void runTransportStream(uint16_t value);
    void applyKeyRanges();
    int bindKernelRecord(int record);
    void relinkEffectSlot(int slot);

    CorvexProgram programStorage_[kPartCount];
    ParameterRecord globalRecords_[kGlobalSlotCount];
    ParameterRecord hostedRecords_[kEffectSlotCount];
    ModuleManager kernelConnections_;
    ConnectionRecord kernelList_[kMaxConnections];
    uint16_t kernelCount_ = 0;
    PortEntry* kernelBindings_[kFixedConnectionCount] = {};
    bool graphBuilt_ = false;
    Transport transport_ = Transport::Stopped;
    float lastTransportRun_ = 0.0f;
};

} // namespace corvex
