// The kernel's abstract root: initialisation, parts and voices, and the operations a concrete kernel supplies.
#pragma once

#include <cstdint>

#include "engine/kernel/VoiceRecord.h"

namespace corvex {

struct EngineContext;
struct ModulePools;
class CorvexProgram;

class KernelMessenger {
public:
    virtual ~KernelMessenger() = default;
};

// What the key-range block says of one part: packed flags, its keys and its level.
struct PartSetup {
    uint32_t bits = 0;
    uint8_t lowKey = 0;
    uint8_t highKey = 127;
    float level = 0.0f;
};

class KernelBase : public KernelMessenger {
public:
    static constexpr int kPartCount = 4;
    static constexpr int kOutputBusCount = 16;

    // Reserves a type-37 record of `size` payload bytes; answers the payload, or null when there is no room.
    uint8_t* allocDataNotification(int section, int group, int type, int instance, int writerByte, int size);
    void releasePrograms() { deletePrograms(); }
    virtual void initialise();

    virtual uint8_t* allocNotification(int bytes) = 0;
    virtual void getOutputBuffers(float* bus[kOutputBusCount]) = 0;
    virtual int createPrograms() = 0;
    virtual void deletePrograms() = 0;
    virtual void perBlockHook() = 0;
    virtual void runModuleGraph() = 0;
    virtual int buildModuleGraph() = 0;
    virtual void handleModuleData(int slot, int length, const uint16_t* data) = 0;
    virtual void setGlobalParameter(int slot, int parameter, int16_t value, float* echoValue, int* inOutValue) = 0;

    CorvexProgram* program(int part) const { return (part >= 0 && part < kPartCount) ? programs_[part] : nullptr; }
    const VoiceRecord& voice(int index) const { return voices_[index]; }
    const PartSetup& partSetup(int part) const { return partSetup_[part]; }

protected:
    KernelBase(EngineContext& context, ModulePools& pools, VoiceRecord* voices)
        : context_(context), pools_(pools), voices_(voices) {}

    // Bit 0 of a part's bits marks it present: a start of section 0 starts the present parts.
    bool partPresent(int part) const { return (partSetup_[part].bits & 1u) != 0; }

    EngineContext& context_;
    ModulePools& pools_;
    VoiceRecord* voices_;
    CorvexProgram* programs_[kPartCount] = {};

    PartSetup partSetup_[kPartCount];
    uint8_t directNoteMark_ = 0;
    uint8_t remoteInput_ = 1;
    int32_t directInputChannel_ = 1;
    float transportRun_ = 0.0f;
};

} // namespace corvex
