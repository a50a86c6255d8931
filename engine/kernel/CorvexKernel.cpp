#include "engine/kernel/CorvexKernel.h"

#include "engine/kernel/PortBinding.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulationScales.h"
#include "engine/modules/types/GlobalBlock.h"
#include "engine/modules/types/GraphRunner.h"
#include "engine/modules/types/KeyRangeMixer.h"

namespace corvex {

namespace {

constexpr int kTransportParameter = 5;
constexpr int kFinalLeftPort = 6;
constexpr int kFinalRightPort = 7;

// The fixed wiring of the kernel-global modules: the output bus feeds the runner, whose buses feed
// the three effect slots, whose outputs come back into the runner.
struct FixedRoute {
    uint8_t source, sourcePort, destination, destinationPort;
};
constexpr FixedRoute kFixedRoutes[CorvexKernel::kFixedConnectionCount] = {
    {34, 0, 35, 0}, {34, 1, 35, 1}, {35, 0, 34, 8},  {35, 1, 34, 9},  {34, 2, 36, 0}, {34, 3, 36, 1},
    {36, 0, 34, 10}, {36, 1, 34, 11}, {34, 4, 37, 0}, {34, 5, 37, 1}, {37, 0, 34, 12}, {37, 1, 34, 13},
    {39, 0, 34, 0},  {39, 1, 34, 1},  {39, 2, 34, 2}, {39, 3, 34, 3},
};

// Only the two master-effect slots host what the user picks; the third stays a pass-through.
constexpr int kLoadableEffectSlots = 2;
constexpr int kFixedEffectSlot = SlotIndex::FirstEffect + kLoadableEffectSlots;
bool isLoadableEffectSlot(int slot) {
    return slot >= SlotIndex::FirstEffect && slot < SlotIndex::FirstEffect + kLoadableEffectSlots;
}

constexpr int kGraphSlots[] = {SlotIndex::Transport, SlotIndex::KeyRange, SlotIndex::Runner, 35, 36, 37,
                               SlotIndex::OutputBus};

} // namespace

CorvexKernel::CorvexKernel() {
    for (int slot = kFirstGlobalSlot; slot < kModuleSlotCount; ++slot) setRecordHeader(globalRecord(slot), slot, 0);
    for (int e = 0; e < kEffectSlotCount; ++e)
        globalRecord(SlotIndex::FirstEffect + e).as<EffectSlotParams>().inner = &hostedRecords_[e];
    arpeggiatorConfig_ = &globalRecord(SlotIndex::GlobalBlock).as<GlobalBlockParams>();
    kernelConnections_.attach(kernelList_, &kernelCount_);
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

void* CorvexKernel::globalModule(int slot) const { return globalModules_[slot - kFirstGlobalSlot]; }

// Built once: the kernel-global modules, their fixed wiring, and the two final output buffers,
// which the kernel itself holds a reference on.
int CorvexKernel::buildModuleGraph() {
    if (graphBuilt_) return 0;
    graphBuilt_ = true;
    ConnectionRecord records[kFixedConnectionCount];
    for (int i = 0; i < kFixedConnectionCount; ++i) {
        const FixedRoute& r = kFixedRoutes[i];
        records[i] = packConnection(0, r.destinationPort, 0, r.source, r.sourcePort, r.destination, 16384, 0);
    }
    sortConnections(records, kFixedConnectionCount);
    kernelConnections_.assign(records, kFixedConnectionCount);

    int result = 0;
    for (int e = 0; e < kEffectSlotCount; ++e)
        globalRecord(SlotIndex::FirstEffect + e).as<EffectSlotParams>().hostedType = ModuleType::PassThrough;
    for (int slot : kGraphSlots) {
        const int type = kModuleSlots[static_cast<size_t>(slot)].type;
        ModulePoolBase* pool = modulePools().poolForType(type);
        void* module = pool ? pool->allocate() : nullptr;
        if (module == nullptr) {
            result = pool ? -1 : -2;
            continue;
        }
        globalModules_[slot - kFirstGlobalSlot] = module;
        initModuleByType(module, type, &globalRecord(slot), 0, &context_);
    }
    for (int r = 0; r < kernelConnections_.count(); ++r) result |= bindKernelRecord(r);

    if (void* runner = globalModule(SlotIndex::Runner)) {
        auto& m = *static_cast<GraphRunnerModule*>(runner);
        for (int e = 0; e < kEffectSlotCount; ++e) {
            const int slot = SlotIndex::FirstEffect + e;
            const int first = kernelConnections_.firstRecordOf(slot);
            EffectSlotBinding& b = m.slots[e];
            b.module = globalModule(slot);
            if (first == kNone) continue;
            b.descriptors = reinterpret_cast<const ConnectionDescriptor*>(kernelConnections_.records() + first);
            b.sources = kernelBindings_ + first;
            b.counts = kernelConnections_.inputCounters(slot);
        }
        for (int port : {kFinalLeftPort, kFinalRightPort}) acquirePortBuffer(m.ports[port]);
        outputLeft_ = portBuffer(m.ports[kFinalLeftPort]);
        outputRight_ = portBuffer(m.ports[kFinalRightPort]);
    }
    return result;
}

int CorvexKernel::bindKernelRecord(int r) {
    const ConnectionRecord& record = kernelConnections_.record(r);
    if (globalModule(record.destinationSlot()) == nullptr) return 0;
    void* source = globalModule(record.sourceSlot());
    return bindPort(kernelBindings_[r], source ? modulePortAddress(source, record.sourcePort()) : nullptr);
}

// A new effect in a slot: the old hosted effect goes back to its pool and the runner's reads of the
// slot's outputs are bound to the new one's ports.
void CorvexKernel::relinkEffectSlot(int slot) {
    void* module = globalModule(slot);
    if (module == nullptr) return;
    for (int r = 0; r < kernelConnections_.count(); ++r)
        if (kernelConnections_.record(r).sourceSlot() == slot) unbindPort(kernelBindings_[r]);
    resetModuleByType(module);
    initModuleByType(module, ModuleType::EffectSlot, &globalRecord(slot), 0, &context_);
    for (int r = 0; r < kernelConnections_.count(); ++r)
        if (kernelConnections_.record(r).sourceSlot() == slot) bindKernelRecord(r);
}

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
    if (void* runner = globalModule(SlotIndex::Runner)) {
        ScopedModulationScales scales(kernelConnections_.modulationScales());
        processSlot(runner, SlotIndex::Runner, kernelConnections_, kernelBindings_);
    }
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

// The parts' setup follows the key-range record; the two layers play the key ranges they are given.
void CorvexKernel::applyKeyRanges() {
    const KeyRangeParams& k = globalRecord(SlotIndex::KeyRange).as<KeyRangeParams>();
    for (int p = 0; p < kPartCount; ++p) {
        PartSetup& setup = partSetup_[p];
        setup.bits = k.bits[p];
        setup.level = k.level[p];
        setup.lowKey = k.lowKey[p];
        setup.highKey = k.highKey[p];
    }
    for (int p = 0; p < 2; ++p) {
        if (CorvexProgram* program = programs_[p]) {
            program->keyLow = partSetup_[p].lowKey;
            program->keyHigh = partSetup_[p].highKey;
        }
    }
}

void CorvexKernel::handleModuleData(int slot, int length, const uint16_t* data) {
    if (slot < kFirstGlobalSlot || slot >= kModuleSlotCount || data == nullptr) return;
    // The third effect slot is a fixed pass-through: it takes no data.
    if (slot == kFixedEffectSlot) return;
    const int type = kModuleSlots[static_cast<size_t>(slot)].type;
    blockLoaderFor(type)(data, length, &globalRecord(slot), &context_);
    if (slot == SlotIndex::Transport) transportRun_ = 0.0f;
    if (slot == SlotIndex::KeyRange) applyKeyRanges();
    if (isLoadableEffectSlot(slot)) relinkEffectSlot(slot);
}

// The transport word is the kernel's own; the effect slots and the global block take their words
// through their types' setters.
void CorvexKernel::setGlobalParameter(int slot, int parameter, int16_t value, float* echoValue, int* inOutValue) {
    if (slot == SlotIndex::Transport) {
        if (parameter != kTransportParameter) return;
        transportRun_ = static_cast<float>(value) * (1.0f / 16384.0f);
        if (echoValue) *echoValue = transportRun_;
        return;
    }
    if (!isLoadableEffectSlot(slot) && slot != SlotIndex::GlobalBlock) return;
    const int type = kModuleSlots[static_cast<size_t>(slot)].type;
    parameterSetterFor(type)(value, parameter, echoValue, inOutValue, &globalRecord(slot), &context_);
}

void CorvexKernel::runTransportStream(uint16_t value) {
    // The transport word belongs to the kernel's own value source (group 2, instance 0).
    const uint16_t words[4] = {MessageType::SetParameter, (ModuleType::ValueSource << 8) | 2, (kTransportParameter << 8) | 0, value};
    processMessage(words, 4);
}

void CorvexKernel::startTransport() { runTransportStream(16384); }
void CorvexKernel::stopTransport() { runTransportStream(0); }

} // namespace corvex
