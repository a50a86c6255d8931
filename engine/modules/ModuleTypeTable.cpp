// The operations of every module type, by type code: the one place that knows all module types.
#include <array>

#include "engine/modules/ModuleFramework.h"
#include "engine/modules/types/ChorusFlanger.h"
#include "engine/modules/types/Delay.h"
#include "engine/modules/types/Distortion.h"
#include "engine/modules/types/EffectBypass.h"
#include "engine/modules/types/Envelope.h"
#include "engine/modules/types/GlobalBlock.h"
#include "engine/modules/types/GraphRunner.h"
#include "engine/modules/types/InputMixer.h"
#include "engine/modules/types/KeyRangeMixer.h"
#include "engine/modules/types/Lfo.h"
#include "engine/modules/types/LfoDelay.h"
#include "engine/modules/types/NoiseSource.h"
#include "engine/modules/types/Oscillator.h"
#include "engine/modules/types/ParametricEq.h"
#include "engine/modules/types/PhaserInsert.h"
#include "engine/modules/types/PhaserMaster.h"
#include "engine/modules/types/Quorbit.h"
#include "engine/modules/types/Reverb.h"
#include "engine/modules/types/RingModulator.h"
#include "engine/modules/types/StepSequencer.h"
#include "engine/modules/types/ValueSource.h"
#include "engine/modules/types/VoiceControl.h"
#include "engine/modules/types/VoiceFilter.h"
#include "engine/modules/types/VoiceOutput.h"

namespace corvex {

namespace {

constexpr std::array<ModuleOps, kModuleTypeCount> kModuleOps = [] {
    std::array<ModuleOps, kModuleTypeCount> ops{};
    ops[ModuleType::ValueSource] = kValueSourceOps;
    ops[ModuleType::VoiceControl] = kVoiceControlOps;
    ops[ModuleType::VoiceFilter] = kVoiceFilterOps;
    ops[ModuleType::Oscillator] = kOscillatorOps;
    ops[ModuleType::Envelope] = kEnvelopeOps;
    ops[ModuleType::VoiceOutput] = kVoiceOutputOps;
    ops[ModuleType::Lfo] = kLfoOps;
    ops[ModuleType::InputMixer] = kInputMixerOps;
    ops[ModuleType::RingModulator] = kRingModulatorOps;
    ops[ModuleType::PassThrough] = kEffectBypassOps;
    ops[ModuleType::Chorus] = kChorusFlangerOps;
    ops[ModuleType::Reverb] = kReverbOps;
    ops[ModuleType::ParametricEq] = kParametricEqOps;
    ops[ModuleType::InsertPhaser] = kPhaserInsertOps;
    ops[ModuleType::MasterPhaser] = kPhaserMasterOps;
    ops[ModuleType::Delay] = kDelayOps;
    ops[ModuleType::StepSequencer] = kStepSequencerOps;
    ops[ModuleType::Quorbit] = kQuorbitOps;
    ops[ModuleType::Distortion] = kDistortionOps;
    ops[ModuleType::NoiseSource] = kNoiseSourceOps;
    ops[ModuleType::KeyRange] = kKeyRangeOps;
    ops[ModuleType::GraphRunner] = kGraphRunnerOps;
    ops[ModuleType::EffectSlot] = ModuleOps{nullptr, nullptr, loadEffectSlotBlock, setEffectSlotParameter};
    ops[ModuleType::GlobalBlock] = kGlobalBlockOps;
    ops[ModuleType::OutputBus] = kOutputBusOps;
    ops[ModuleType::LfoDelay] = kLfoDelayOps;
    return ops;
}();

const ModuleOps kNoOps{};

} // namespace

const ModuleOps& moduleOps(int type) {
    return (type >= 0 && type < kModuleTypeCount) ? kModuleOps[static_cast<size_t>(type)] : kNoOps;
}

} // namespace corvex
