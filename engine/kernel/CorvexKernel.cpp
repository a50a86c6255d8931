#include "engine/kernel/CorvexKernel.h"

#include "engine/modules/ModuleFramework.h"

namespace corvex {

namespace {
constexpr int kTransportParameter = 5;
} // namespace

CorvexKernel::CorvexKernel() {
    for (int slot = kFirstGlobalSlot; slot < kModuleSlotCount; ++slot) setRecordHeader(globalRecord(slot), slot, 0);
    for (int e = 0; e < kEffectSlotCount; ++e)
        globalRecord(SlotIndex::FirstEffect + e).as<EffectSlotParams>().inner = &hostedRecords_[e];
}

// Fixed storage: the programs live inside the kernel, so creating them cannot fail half-way.
int CorvexKernel::createPrograms() {
    for (int p = 0; p < kPartCount; ++p) {
        programStorage_[p] = CorvexProgram{};
        programs_[p] = &programStorage_[p];
    }
    return 0;
}

void CorvexKernel::deletePrograms() {
    for (auto& p : programs_) p = nullptr;
}

int CorvexKernel::buildModuleGraph() { return 0; }

// Ports 0 and 1 of the output bus carry the first part, ports 2 and 3 the second.
void CorvexKernel::getOutputBuffers(float* bus[kOutputBusCount]) {
    for (int i = 0; i < kOutputBusCount; ++i) bus[i] = nullptr;
    void* outputBus = globalModules_[SlotIndex::OutputBus - kFirstGlobalSlot];
    if (outputBus == nullptr) return;
    constexpr int kBusIndex[4] = {0, 1, 8, 9};
    for (int port = 0; port < 4; ++port)
        if (PortEntry* entry = modulePortAddress(outputBus, port)) bus[kBusIndex[port]] = portBuffer(*entry);
}

void CorvexKernel::runModuleGraph() {
    switch (transport_) {
    case Transport::Starting:
        transport_ = Transport::Running;
        break;
    case Transport::Stopping:
        transport_ = Transport::Stopped;
        break;
    default:
        if (transportRun_ != lastTransportRun_)
            transport_ = transportRun_ > 0.5f ? Transport::Starting : Transport::Stopping;
        break;
    }
    lastTransportRun_ = transportRun_;
}

// The key-range block holds ten words per part from block word 7; block word j sits at data[j + 2].
void CorvexKernel::loadKeyRanges(const uint16_t* data, int length) {
    for (int p = 0; p < kPartCount; ++p) {
        const int at = 7 + 10 * p;
        if (at + 10 > length) break;
        const uint16_t* g = data + 2 + at;
        PartSetup& setup = partSetup_[p];
        setup.bits = (g[0] & 1u) | ((g[2] & 3u) << 1) | ((g[3] & 31u) << 3) | ((g[1] & 15u) << 8) |
                     ((g[7] & 255u) << 12) | ((g[6] & 1u) << 20) | ((g[5] & 255u) << 21);
        setup.level = static_cast<float>(g[4]) * (1.0f / 16384.0f);
        setup.lowKey = static_cast<uint8_t>(g[8] & 127);
        setup.highKey = static_cast<uint8_t>(g[9] & 127);
    }
    // The two layers play the key ranges they are given.
    for (int p = 0; p < 2; ++p) {
        if (CorvexProgram* program = programs_[p]) {
            program->keyLow = partSetup_[p].lowKey;
            program->keyHigh = partSetup_[p].highKey;
        }
    }
}

void CorvexKernel::handleModuleData(int slot, int length, const uint16_t* data) {
    if (slot < kFirstGlobalSlot || slot >= kModuleSlotCount || data == nullptr) return;
    const int type = kModuleSlots[static_cast<size_t>(slot)].type;
    blockLoaderFor(type)(data, length, &globalRecord(slot), &context_);
    if (slot == SlotIndex::Transport) transportRun_ = 0.0f;
    if (slot == SlotIndex::KeyRange) loadKeyRanges(data, length);
}

void CorvexKernel::setGlobalParameter(int slot, int parameter, int16_t value, float* echoValue, int*) {
    if (slot == SlotIndex::Transport && parameter == kTransportParameter) {
        transportRun_ = static_cast<float>(value) * (1.0f / 16384.0f);
        if (echoValue) *echoValue = transportRun_;
    }
}

void CorvexKernel::runTransportStream(uint16_t value) {
    const uint16_t words[4] = {(0 << 8) | 12, (1 << 8) | 2, (kTransportParameter << 8) | 0, value};
    processMessage(words, 4);
}

void CorvexKernel::startTransport() { runTransportStream(16384); }
void CorvexKernel::stopTransport() { runTransportStream(0); }

} // namespace corvex
