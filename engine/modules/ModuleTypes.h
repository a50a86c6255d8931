// Facts about the 6-bit module type codes: which have a module, which pool serves them, how many ports they own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvex {

constexpr int kModuleTypeCount = 64;

namespace ModuleType {
constexpr int ValueSource = 1;
constexpr int VoiceControl = 2;
constexpr int Oscillator = 3;
constexpr int VoiceFilter = 4;
constexpr int Envelope = 6;
constexpr int VoiceOutput = 7;
constexpr int InputMixer = 9;
constexpr int PassThrough = 22;
constexpr int Chorus = 24;
constexpr int Delay = 28;
constexpr int Reverb = 29;
constexpr int InsertPhaser = 38;
constexpr int MasterPhaser = 40;
constexpr int NoiseSource = 44;
constexpr int PackedFlags = 45;
constexpr int KeyRange = 46;
constexpr int GraphRunner = 48;
constexpr int EffectSlot = 49;
constexpr int ConnectionList = 50;
constexpr int OutputBus = 58;
constexpr int GlobalBlock = 61;
constexpr int PartEnd = 62;
} // namespace ModuleType

// Pool index per type code; -1 means the code names a block with no module of its own.
constexpr std::array<int8_t, kModuleTypeCount> kPoolIndexByType = {
    1, 1, 1, 0, 4, 4, 2, 2, 3, 1,  // 0..9
    1, 4, 3, 3, 3, 3, 1, 1, 2, 1,  // 10..19
    1, 1, 1, 1, 5, 5, 5, 5, 6, 6,  // 20..29
    1, 1, 1, 1, 3, 3, 1, 1, 1, 1,  // 30..39
    1, 3, 3, 1, 3, -1, 1, 1, 1, 1, // 40..49
    -1, -1, -1, 1, 1, -1, -1, -1, 1, 1, // 50..59
    1, -1, -1, 1,                  // 60..63
};

// Output ports per type code; 0 for codes without a module. An effect slot has those of its hosted effect.
constexpr std::array<uint8_t, kModuleTypeCount> kPortCountByType = [] {
    std::array<uint8_t, kModuleTypeCount> n{};
    n[1] = 1; n[2] = 7; n[3] = 5; n[4] = 1; n[6] = 1; n[7] = 3; n[8] = 3; n[9] = 1; n[13] = 1;
    n[22] = 2; n[24] = 2; n[28] = 2; n[29] = 2; n[32] = 2; n[34] = 2; n[46] = 2;
    n[38] = 3; n[40] = 3; n[41] = 12; n[42] = 7; n[44] = 5; n[48] = 8; n[58] = 8; n[59] = 1;
    return n;
}();

constexpr int kMaxPortsPerModule = 12;

constexpr bool hasModule(int type) {
    switch (type) {
    case 1: case 2: case 3: case 4: case 6: case 7: case 8: case 9: case 13: case 22: case 24:
    case 28: case 29: case 32: case 34: case 38: case 40: case 41: case 42: case 44: case 46:
    case 48: case 49: case 58: case 59:
        return true;
    default:
        return false;
    }
}

// Value ports publish one number per block and never hold a block buffer.
constexpr bool hasValuePorts(int type) {
    return type == 1 || type == 2 || type == 6 || type == 8 || type == 41 || type == 42 || type == 59;
}

constexpr int poolIndexForType(int type) {
    return (type >= 0 && type < kModuleTypeCount) ? kPoolIndexByType[static_cast<size_t>(type)] : -1;
}

} // namespace corvex
