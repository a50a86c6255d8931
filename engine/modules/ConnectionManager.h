// A part's sorted connection list and what it implies: module order, pools and per-input counts.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleSlots.h"
#include "engine/modules/ConnectionRecord.h"
#include "engine/modules/ModulationScales.h"

namespace corvex {

constexpr int kModuleInputCount = 201; // input ports of all slots, numbered in slot order
constexpr int kPositionMapSize = 48;
constexpr uint8_t kNone = 255;

// First input number of each slot, from the slot table.
int slotInputBase(int slot);

class ConnectionManager {
public:
    ConnectionManager();
    virtual ~ConnectionManager() = default;

    // Points the manager at a list it does not own; the count word, when given, mirrors the count.
    void attach(ConnectionRecord* list, uint16_t* countWord);

    // One chunk of a connection-list message, from its third word; n records in this chunk.
    // Decodes into the list at the accumulated position; the last chunk takes the list and rebuilds.
    virtual int setConnections(const uint16_t* words, int n);
    virtual int insertConnection(int index, const ConnectionRecord& record, uint8_t* positionMap = nullptr);
    virtual int addConnection(int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort,
                              uint16_t amount, uint16_t second, int mode);
    virtual void setConnection(int index, const ConnectionRecord& record);
    virtual int addDoubleConnection(int sourceSlotA, int sourcePortA, int sourceSlotB, int sourcePortB, int kind,
                                    int destinationSlot, int destinationPort, uint16_t amount, uint16_t second,
                                    int mode);
    virtual int removeConnectionAt(int index, uint8_t* positionMap = nullptr);
    virtual int removeConnection(int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort);
    virtual void setConnectionAmount(int index, uint16_t amount);
    virtual void setConnectionAmount2(int index, uint16_t second);
    virtual int setConnectionMode(int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort,
                                  uint16_t amount, uint16_t second, int mode);

    int rebuild(uint8_t* positionMap = nullptr);
    void clearCounters();
    // Replaces the whole list (count at most 96) and rebuilds.
    bool assign(const ConnectionRecord* records, int count);

    int find(int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort) const;
    int count() const { return count_; }
    const ConnectionRecord& record(int index) const { return list_[index]; }
    ConnectionRecord* records() { return list_; }
    const ConnectionRecord* records() const { return list_; }

    // Derived tables.
    int totalModules() const { return totalModules_; }
    int voiceValueSources() const { return voiceValueSources_; }
    int voiceControls() const { return voiceControls_; }
    int envelopes() const { return envelopes_; }
    int outputStages() const { return outputStages_; }
    int voiceModules() const { return voiceModules_; }
    int partModules() const { return partModules_; }
    int kernelModules() const { return kernelModules_; }
    int voiceRecords() const { return voiceRecords_; }
    int voiceAndPartRecords() const { return voiceAndPartRecords_; }
    int moduleAt(int position) const { return moduleOrder_[position]; }
    int poolAt(int position) const { return poolByPosition_[position]; }
    int positionOf(int slot) const { return positionBySlot_[slot]; }
    int firstRecordOf(int slot) const { return firstRecord_[slot]; }
    int inputBaseOf(int slot) const { return inputBase_[slot]; }
    uint32_t inputCount(int input) const { return counters_[input]; }
    // Each record's modulation scale, kept in step with the list by every edit made through here.
    ModulationScaleTable modulationScales() const {
        return {reinterpret_cast<const ConnectionDescriptor*>(list_), scales_, count_};
    }
    // The per-input connection counts of a slot, or null when no record feeds it.
    const uint32_t* inputCounters(int slot) const {
        return inputBase_[slot] == kNone ? nullptr : counters_ + inputBase_[slot];
    }

private:
    void setCount(int n);
    void refreshScale(int index);

    int totalModules_ = 0;
    int voiceValueSources_ = 0;
    int voiceControls_ = 0;
    int envelopes_ = 0;
    int outputStages_ = 0;
    int voiceModules_ = 0;
    int partModules_ = 0;
    int kernelModules_ = 0;
    int voiceRecords_ = 0;
    int voiceAndPartRecords_ = 0;
    uint8_t inputBase_[kModuleSlotCount];
    uint8_t firstRecord_[kModuleSlotCount];
    uint8_t moduleOrder_[kModuleSlotCount];
    int8_t poolByPosition_[kModuleSlotCount];
    uint8_t positionBySlot_[kModuleSlotCount];
    int32_t count_ = 0;
    ConnectionRecord* list_ = nullptr;
    uint16_t* countWord_ = nullptr;
    int32_t accumulated_ = 0;
    uint32_t counters_[kModuleInputCount];
    ModulationScale scales_[kMaxConnections];
};

// The kernel's side of the same list; it adds nothing.
class ModuleManager final : public ConnectionManager {};

} // namespace corvex
