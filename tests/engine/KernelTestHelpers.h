// Small helpers that build word streams and render blocks for the kernel tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/kernel/SoftwareKernelListener.h"
#include "engine/program/CorvanKernelProgram.h"

namespace corvex::testing {

inline KernelMessage makeMessage(std::initializer_list<uint16_t> words) {
    KernelMessage m;
    int n = 0;
    for (uint16_t w : words) m.words[n++] = w;
    m.wordCount = n;
    m.size = (n + 1) / 2;
    return m;
}

inline uint16_t head(int target, int type) { return static_cast<uint16_t>((target << 8) | type); }
inline uint16_t pair(int hi, int lo) { return static_cast<uint16_t>((hi << 8) | lo); }

// Set-parameter of the transport word (kernel slot 32, parameter 5): a message with an echo.
inline std::vector<uint16_t> transportWords(uint16_t value) { return {head(0, MessageType::SetParameter), pair(1, 2), pair(5, 0), value}; }

// Bend of a part section: the observable effect of one small message.
inline std::vector<uint16_t> bendWords(int section, uint16_t word) { return {head(section, MessageType::Bend), word}; }

inline std::unique_ptr<CorvexKernel> makeKernel(double rate = 44100.0) {
    auto kernel = std::make_unique<CorvexKernel>();
    kernel->initialise();
    kernel->setSampleRate(rate);
    return kernel;
}

// The initial program over all 32 voices, two to a key in Dual: what the tests that compare voices
// rendered together with voices rendered alone play.
inline std::unique_ptr<CorvanKernelProgram> startInitialProgram(CorvexKernel& kernel, bool dual) {
    auto program = std::make_unique<CorvanKernelProgram>(kernel);
    program->initialise();
    program->setAssignParameters(32, 2, 2);
    program->setPartAssignMode(0, 0);
    program->setPartAssignMode(1, 0);
    if (dual) {
        program->startPart(2);
        program->setKeyMode(CorvanKernelProgram::Dual);
    }
    return program;
}

// Free items of every module pool and of the block buffer store: what a kernel has not handed out.
inline std::vector<int> freeItems(SoftwareKernel& kernel) {
    std::vector<int> n;
    for (int p = 0; p < kModulePoolCount; ++p) n.push_back(kernel.modulePools().pool(p)->freeCount());
    n.push_back(kernel.bufferStore().freeCount());
    return n;
}

struct Block {
    float left[32];
    float right[32];
    float* channels[2] = {left, right};
};

inline void render(SoftwareKernel& kernel, Block& block, int numOutputs = 2) {
    kernel.processBlock(numOutputs, block.channels, 32);
}

struct ParameterEcho {
    int section, slot, parameter, valueByte;
    float value;
};

struct DataRecord {
    int section, slot, writerByte;
    std::vector<uint8_t> payload;
};

class RecordingListener : public SoftwareKernelListener {
public:
    void kernelDataReceived(int section, int slot, int writerByte, const uint8_t* payload, uint16_t size) override {
        data.push_back({section, slot, writerByte, std::vector<uint8_t>(payload, payload + size)});
    }
    void kernelParameterChanged(int section, int slot, int parameter, int valueByte, float value) override {
        echoes.push_back({section, slot, parameter, valueByte, value});
    }
    std::vector<ParameterEcho> echoes;
    std::vector<DataRecord> data;
};

} // namespace corvex::testing
