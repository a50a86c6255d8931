#include "engine/modules/ModuleSlots.h"

#include "engine/modules/ParameterRecord.h"

namespace corvex {

namespace {

int slotBase(int group, int type) {
    if (group == 0) {
        switch (type) {
        case 1: return 0;
        case 2: return 1;
        case 3: return 2;
        case 4: return 4;
        case 6: return 6;
        case 7: return 8;
        case 9: return 9;
        case 13: return 10;
        case 24: return 12;
        case 32: return 14;
        case 34: return 16;
        case 38: return 18;
        default: return -1;
        }
    }
    if (group == 1) {
        switch (type) {
        case 1: return 20;
        case 8: return 23;
        case 41: return 24;
        case 42: return 25;
        case 44: return 26;
        case 45: return 27;
        case 50: return 28;
        case 59: return 29;
        case 62: return 31;
        default: return -1;
        }
    }
    switch (type) {
    case 1: return 32;
    case 46: return 33;
    case 48: return 34;
    case 49: return 35;
    case 50: return 38;
    case 58: return 39;
    case 61: return 40;
    default: return -1;
    }
}

} // namespace

void setRecordHeader(ParameterRecord& record, int slot, int section) {
    const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
    record.type = s.type;
    record.instance = s.instance;
    record.slot = static_cast<uint8_t>(slot);
    record.group = s.group;
    record.partNumber = static_cast<uint8_t>(section);
}

int moduleSlotIndex(int instance, int group, int type) {
    const int base = slotBase(group, type);
    if (base < 0 || instance < 0) return -1;
    const int slot = base + instance;
    if (slot >= kModuleSlotCount) return -1;
    const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
    const int slotGroup = (group == 0 || group == 1) ? group : 2;
    if (s.type != type || s.group != slotGroup) return -1;
    return slot;
}

} // namespace corvex
