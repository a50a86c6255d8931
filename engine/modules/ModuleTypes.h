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
constexpr int Lfo = 8;
constexpr int InputMixer = 9;
constexpr int RingModulator = 13;
constexpr int PassThrough = 22;
constexpr int Chorus = 24;
constexpr int Delay = 28;
constexpr int Reverb = 29;
constexpr int Distortion = 32;
constexpr int ParametricEq = 34;
constexpr int InsertPhaser = 38;
constexpr int MasterPhaser = 40;
constexpr int StepSequencer = 41;
constexpr int Quorbit = 42;
constexpr int NoiseSource = 44;
constexpr int PackedFlags = 45;
constexpr int KeyRange = 46;
constexpr int GraphRunner = 48;
constexpr int EffectSlot = 49;
constexpr int ConnectionList = 50;
constexpr int OutputBus = 58;
constexpr int LfoDelay = 59;
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
    using namespace ModuleType;
    std::array<uint8_t, kModuleTypeCount> n{};
    n[ValueSource] = 1; n[VoiceControl] = 7; n[Oscillator] = 5; n[VoiceFilter] = 1; n[Envelope] = 1;
    n[VoiceOutput] = 3; n[Lfo] = 3; n[InputMixer] = 1; n[RingModulator] = 1; n[PassThrough] = 2; n[Chorus] = 2;
    n[Delay] = 2; n[Reverb] = 2; n[Distortion] = 2; n[ParametricEq] = 2; n[KeyRange] = 2; n[InsertPhaser] = 3;
    n[MasterPhaser] = 3; n[StepSequencer] = 12; n[Quorbit] = 7; n[NoiseSource] = 5; n[GraphRunner] = 8;
    n[OutputBus] = 8; n[LfoDelay] = 1;
    return n;
}();

constexpr int kMaxPortsPerModule = 12;

constexpr bool hasModule(int type) {
    using namespace ModuleType;
    switch (type) {
    case ValueSource: case VoiceControl: case Oscillator: case VoiceFilter: case Envelope: case VoiceOutput:
    case Lfo: case InputMixer: case RingModulator: case PassThrough: case Chorus: case Delay: case Reverb:
    case Distortion: case ParametricEq: case InsertPhaser: case MasterPhaser: case StepSequencer: case Quorbit:
    case NoiseSource: case KeyRange: case GraphRunner: case EffectSlot: case OutputBus: case LfoDelay:
        return true;
    default:
        return false;
    }
}

// Value ports publish one number per block and never hold a block buffer.
constexpr bool hasValuePorts(int type) {
    using namespace ModuleType;
    return type == ValueSource || type == VoiceControl || type == Envelope || type == Lfo || type == StepSequencer ||
           type == Quorbit || type == LfoDelay;
}

constexpr int poolIndexForType(int type) {
    return (type >= 0 && type < kModuleTypeCount) ? kPoolIndexByType[static_cast<size_t>(type)] : -1;
}

} // namespace corvex
