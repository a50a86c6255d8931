// How the kernel's notifications reach their listeners on the message thread.
#pragma once

#include <cstdint>

namespace corvex {

class SoftwareKernelListener {
public:
    virtual ~SoftwareKernelListener() = default;
    // A data block written by a module (a type-37 record).
    virtual void kernelDataReceived(int section, int moduleSlot, int writerByte, const uint8_t* payload,
                                    uint16_t size) = 0;
    // A parameter value as the module's setter reported it (a type-19 record).
    virtual void kernelParameterChanged(int section, int moduleSlot, int parameter, int valueByte, float value) = 0;
};

} // namespace corvex
