#include "engine/modules/ConnectionManager.h"

#include <array>
#include <cstring>

#include "engine/modules/ModuleTypes.h"

namespace corvex {

namespace {

constexpr std::array<uint8_t, kModuleSlotCount> kInputBase = [] {
    std::array<uint8_t, kModuleSlotCount> base{};
    int next = 0;
    for (size_t s = 0; s < base.size(); ++s) {
        base[s] = static_cast<uint8_t>(next);
        next += kModuleSlots[s].inputs;
    }
    return base;
}();

int slotType(int slot) { return kModuleSlots[static_cast<size_t>(slot)].type; }
bool validSlot(int slot) { return slot >= 0 && slot < kModuleSlotCount; }

} // namespace

int slotInputBase(int slot) { return validSlot(slot) ? kInputBase[static_cast<size_t>(slot)] : -1; }

ConnectionManager::ConnectionManager() {
    std::memset(moduleOrder_, kNone, sizeof(moduleOrder_));
    std::memset(poolByPosition_, -1, sizeof(poolByPosition_));
    std::memset(positionBySlot_, kNone, sizeof(positionBySlot_));
    clearCounters();
}

void ConnectionManager::attach(ConnectionRecord* list, uint16_t* countWord) {
    list_ = list;
    countWord_ = countWord;
    accumulated_ = 0;
    setCount(countWord ? *countWord : 0);
    if (count_ > kMaxConnections) setCount(0);
}

void ConnectionManager::setCount(int n) {
    // Records past the count are cleared, so that an image holds nothing stale behind its list.
    if (list_ != nullptr)
        for (int i = n; i < count_ && i < kMaxConnections; ++i) list_[i] = ConnectionRecord{};
    count_ = n;
    if (countWord_) *countWord_ = static_cast<uint16_t>(n);
}

int ConnectionManager::find(int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort) const {
    for (int i = 0; i < count_; ++i)
        if (list_[i].sameRoute(sourceSlot, sourcePort, kind, destinationSlot, destinationPort)) return i;
    return -1;
}

int ConnectionManager::setConnections(const uint16_t* words, int n) {
    if (list_ == nullptr || words == nullptr) return -1;
    const int chunk = words[1] >> 8;
    const bool last = (words[1] & 255) != 0;
    if (chunk == 0) accumulated_ = 0; // a new list starts over, whatever an earlier one left
    const uint16_t* record = words + (chunk == 0 ? 5 : 2);
    for (int r = 0; r < n && accumulated_ < kMaxConnections; ++r, record += kExternalConnectionWords)
        if (decodeConnection(record, list_[accumulated_])) ++accumulated_;
    if (!last) return 0;
    setCount(accumulated_);
    accumulated_ = 0;
    return rebuild();
}

int ConnectionManager::insertConnection(int index, const ConnectionRecord& record, uint8_t* positionMap) {
    if (list_ == nullptr || index < 0 || index > count_ || count_ >= kMaxConnections) return -1;
    for (int i = count_; i > index; --i) list_[i] = list_[i - 1];
    list_[index] = record;
    setCount(count_ + 1);
    return rebuild(positionMap);
}

int ConnectionManager::removeConnectionAt(int index, uint8_t* positionMap) {
    if (list_ == nullptr || index < 0 || index >= count_) return -1;
    for (int i = index; i + 1 < count_; ++i) list_[i] = list_[i + 1];
    setCount(count_ - 1);
    return rebuild(positionMap);
}

void ConnectionManager::setConnection(int index, const ConnectionRecord& record) {
    if (list_ == nullptr || index < 0 || index >= count_) return;
    list_[index] = record;
    refreshScale(index);
}

int ConnectionManager::addConnection(int sourceSlot, int sourcePort, int kind, int destinationSlot,
                                     int destinationPort, uint16_t amount, uint16_t second, int mode) {
    if (list_ == nullptr || count_ >= kMaxConnections ||
        !connectionIsValid(sourceSlot, sourcePort, kind, destinationSlot, destinationPort, mode))
        return -1;
    const ConnectionRecord r =
        packConnection(kind, destinationPort, mode, sourceSlot, sourcePort, destinationSlot, amount, second);
    int at = count_;
    for (int i = 0; i < count_; ++i) {
        if (list_[i].key() >= r.key()) {
            at = i;
            break;
        }
    }
    for (int i = count_; i > at; --i) list_[i] = list_[i - 1];
    list_[at] = r;
    setCount(count_ + 1);
    clearCounters();
    return at;
}

int ConnectionManager::addDoubleConnection(int sourceSlotA, int sourcePortA, int sourceSlotB, int sourcePortB,
                                           int kind, int destinationSlot, int destinationPort, uint16_t amount,
                                           uint16_t second, int mode) {
    if (list_ == nullptr || count_ >= kMaxConnections ||
        !connectionIsValid(sourceSlotB, sourcePortB, kind, destinationSlot, destinationPort, mode))
        return -1;
    const ConnectionRecord a =
        packConnection(kind, destinationPort, mode, sourceSlotA, sourcePortA, destinationSlot, amount, second);
    const ConnectionRecord b =
        packConnection(kind, destinationPort, mode, sourceSlotB, sourcePortB, destinationSlot, amount, second);
    for (int i = 0; i < count_; ++i) {
        // Only the record of this very route is replaced: same key and same source port, so a source
        // that also feeds other inputs keeps those connections.
        if (list_[i].key() == a.key() && list_[i].sourceSlot() == sourceSlotA &&
            list_[i].sourcePort() == sourcePortA) {
            list_[i] = b;
            refreshScale(i);
            return i;
        }
    }
    return -1;
}

int ConnectionManager::removeConnection(int sourceSlot, int sourcePort, int kind, int destinationSlot,
                                        int destinationPort) {
    const int i = find(sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    if (i < 0) return -1;
    for (int k = i; k + 1 < count_; ++k) list_[k] = list_[k + 1];
    setCount(count_ - 1);
    clearCounters();
    return i;
}

void ConnectionManager::setConnectionAmount(int index, uint16_t amount) {
    if (list_ == nullptr || index < 0 || index >= count_) return;
    list_[index].amount = amount;
    refreshScale(index);
}

void ConnectionManager::setConnectionAmount2(int index, uint16_t second) {
    if (list_ == nullptr || index < 0 || index >= count_) return;
    list_[index].second = second;
    refreshScale(index);
}

int ConnectionManager::setConnectionMode(int sourceSlot, int sourcePort, int kind, int destinationSlot,
                                         int destinationPort, uint16_t amount, uint16_t second, int mode) {
    const int i = find(sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    if (i < 0) return -1;
    list_[i].setMode(mode);
    list_[i].amount = amount;
    list_[i].second = second;
    refreshScale(i);
    return i;
}

bool ConnectionManager::assign(const ConnectionRecord* records, int count) {
    if (list_ == nullptr || count < 0 || count > kMaxConnections) return false;
    for (int i = 0; i < count; ++i) list_[i] = records[i];
    setCount(count);
    accumulated_ = 0;
    rebuild();
    return true;
}

int ConnectionManager::rebuild(uint8_t* positionMap) {
    uint8_t oldPosition[kModuleSlotCount];
    std::memcpy(oldPosition, positionBySlot_, sizeof(oldPosition));

    bool seen[kModuleSlotCount] = {};
    int valueSource = -1, voiceControl = -1;
    uint8_t envelopes[kModuleSlotCount], outputs[kModuleSlotCount], others[kModuleSlotCount];
    uint8_t parts[kModuleSlotCount], kernels[kModuleSlotCount];
    int nEnvelopes = 0, nOutputs = 0, nOthers = 0, nParts = 0, nKernels = 0;
    int voiceRecords = 0, voiceAndPartRecords = 0;

    for (int i = 0; i < count_; ++i) {
        const ConnectionRecord& r = list_[i];
        const int group = r.destinationGroup();
        if (group == 0) ++voiceRecords;
        if (group <= 1) ++voiceAndPartRecords;
        const int dst = r.destinationSlot();
        const int src = r.sourceSlot();
        if (!validSlot(dst) || !validSlot(src)) continue;
        if (dst < kVoiceSlotCount && slotType(dst) == 7 && !seen[dst]) {
            seen[dst] = true;
            outputs[nOutputs++] = static_cast<uint8_t>(dst);
        }
        if (seen[src]) continue;
        seen[src] = true;
        const auto s = static_cast<uint8_t>(src);
        if (src >= kFirstGlobalSlot) {
            kernels[nKernels++] = s;
        } else if (src >= kVoiceSlotCount) {
            parts[nParts++] = s;
        } else {
            switch (slotType(src)) {
            case 1:
                if (valueSource < 0) valueSource = src; // a second value source is never built
                break;
            case 2:
                if (voiceControl < 0) voiceControl = src;
                break;
            case 6:
                envelopes[nEnvelopes++] = s;
                break;
            case 7:
                outputs[nOutputs++] = s;
                break;
            default:
                others[nOthers++] = s;
                break;
            }
        }
    }

    std::memset(positionBySlot_, kNone, sizeof(positionBySlot_));
    std::memset(moduleOrder_, kNone, sizeof(moduleOrder_));
    std::memset(poolByPosition_, -1, sizeof(poolByPosition_));
    int position = 0;
    auto place = [&](int slot) {
        moduleOrder_[position] = static_cast<uint8_t>(slot);
        poolByPosition_[position] = static_cast<int8_t>(poolIndexForType(slotType(slot)));
        positionBySlot_[slot] = static_cast<uint8_t>(position);
        ++position;
    };
    if (valueSource >= 0) place(valueSource);
    if (voiceControl >= 0) place(voiceControl);
    for (int i = 0; i < nEnvelopes; ++i) place(envelopes[i]);
    for (int i = 0; i < nOutputs; ++i) place(outputs[i]);
    for (int i = 0; i < nOthers; ++i) place(others[i]);
    const int voiceModules = position;
    for (int i = 0; i < nParts; ++i) place(parts[i]);
    for (int i = 0; i < nKernels; ++i) place(kernels[i]);

    if (positionMap) {
        std::memset(positionMap, kNone, kPositionMapSize);
        for (int slot = 0; slot < kModuleSlotCount; ++slot)
            if (oldPosition[slot] != kNone && positionBySlot_[slot] != kNone && oldPosition[slot] < kPositionMapSize)
                positionMap[oldPosition[slot]] = positionBySlot_[slot];
    }

    totalModules_ = position;
    voiceValueSources_ = valueSource >= 0 ? 1 : 0;
    voiceControls_ = voiceControl >= 0 ? 1 : 0;
    envelopes_ = nEnvelopes;
    outputStages_ = nOutputs;
    voiceModules_ = voiceModules;
    partModules_ = nParts;
    kernelModules_ = nKernels;
    voiceRecords_ = voiceRecords;
    voiceAndPartRecords_ = voiceAndPartRecords;
    clearCounters();
    return 0;
}

void ConnectionManager::clearCounters() {
    std::memset(inputBase_, kNone, sizeof(inputBase_));
    std::memset(firstRecord_, kNone, sizeof(firstRecord_));
    std::memset(counters_, 0, sizeof(counters_));
    int previous = -1;
    for (int i = 0; i < count_; ++i) {
        const int dst = list_[i].destinationSlot();
        if (!validSlot(dst)) continue;
        if (dst != previous) {
            firstRecord_[dst] = static_cast<uint8_t>(i);
            inputBase_[dst] = kInputBase[static_cast<size_t>(dst)];
            previous = dst;
        }
        const int port = list_[i].destinationPort();
        // A port beyond the slot's inputs would count into the next slot's: leave it out.
        if (port < kModuleSlots[static_cast<size_t>(dst)].inputs) ++counters_[kInputBase[static_cast<size_t>(dst)] + port];
    }
    for (int i = 0; i < count_; ++i) refreshScale(i);
}

void ConnectionManager::refreshScale(int index) {
    scales_[index] = makeModulationScale(*reinterpret_cast<const ConnectionDescriptor*>(list_ + index));
}

} // namespace corvex
