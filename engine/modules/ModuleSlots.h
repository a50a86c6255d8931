// The fixed table of 41 module slots: which module each slot holds and where its program block lies.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvex {

constexpr int kModuleSlotCount = 41;
constexpr int kPartSlotCount = 32;   // slots 0..31 live in every part
constexpr int kFirstGlobalSlot = 32; // slots 32..40 live once in the kernel
constexpr int kVoiceSlotCount = 20;  // slots 0..19 are built once per voice

// Slots that code names directly.
namespace SlotIndex {
constexpr int VoiceValueSource = 0;
constexpr int VoiceControl = 1;
constexpr int VoiceSetup = 27;
constexpr int ConnectionList = 28;
constexpr int Transport = 32;
constexpr int KeyRange = 33;
constexpr int Runner = 34;
constexpr int FirstEffect = 35;
constexpr int EffectCount = 3;
constexpr int OutputBus = 39;
constexpr int GlobalBlock = 40;
} // namespace SlotIndex

struct ModuleSlot {
    uint8_t group;     // 0 per voice, 1 per part, 2 kernel-global
    uint8_t type;
    uint8_t instance;
    int16_t blockWords; // -1: no block
    int16_t blockAt;    // first word inside the section image, -1: no block
    uint8_t inputs;     // input ports the connection tables reserve for the slot
};

constexpr std::array<ModuleSlot, kModuleSlotCount> kModuleSlots = {{
    {0, 1, 0, 6, 0, 0},      {0, 2, 0, 39, 6, 1},     {0, 3, 0, 20, 45, 6},    {0, 3, 1, 20, 65, 6},
    {0, 4, 0, 18, 85, 4},    {0, 4, 1, 18, 103, 4},   {0, 6, 0, 22, 121, 9},   {0, 6, 1, 22, 143, 9},
    {0, 7, 0, 11, 165, 7},   {0, 9, 0, 12, 176, 5},   {0, 13, 0, 18, 188, 6},  {0, 13, 1, 18, 206, 6},
    {0, 24, 0, 20, 224, 6},  {0, 24, 1, 20, 244, 6},  {0, 32, 0, 19, 264, 4},  {0, 32, 1, 19, 283, 4},
    {0, 34, 0, 25, 302, 12}, {0, 34, 1, 25, 327, 12}, {0, 38, 0, 20, 352, 6},  {0, 38, 1, 20, 372, 6},
    {1, 1, 0, 6, 392, 0},    {1, 1, 1, 6, 398, 0},    {1, 1, 2, 6, 404, 0},    {1, 8, 0, 19, 410, 6},
    {1, 41, 0, 417, 429, 2}, {1, 42, 0, 23, 846, 5},  {1, 44, 0, 17, 869, 0},  {1, 45, 0, 24, 886, 0},
    {1, 50, 0, 385, 910, 0}, {1, 59, 0, 12, 1295, 2}, {1, 59, 1, 12, 1307, 2}, {1, 62, 0, 3, 1319, 1},
    {2, 1, 0, 6, 211, 0},    {2, 46, 0, 47, 0, 12},   {2, 48, 0, 29, 47, 22},  {2, 49, 0, 40, 76, 10},
    {2, 49, 1, 40, 116, 10}, {2, 49, 2, 40, 156, 10}, {2, 50, 0, -1, -1, 0},   {2, 58, 0, -1, -1, 0},
    {2, 61, 0, 15, 196, 0},
}};

struct ParameterRecord;

// Writes the slot's names and the section (0 kernel, 1..4 part) into a record's head.
void setRecordHeader(ParameterRecord& record, int slot, int section);

// The slot of (group, type, instance), or -1. Any group other than 0 and 1 means kernel-global,
// which lets the 0x01FF header of stored global blocks find their slots.
int moduleSlotIndex(int instance, int group, int type);

} // namespace corvex
