// The oscillator's lanes in 256-bit registers: built with AVX2 enabled for this file alone and used
// only where the processor reports it, so the program itself never requires it.
#include "engine/dsp/OscillatorLanes.h"

#if defined(CORVEX_BUILD_AVX2_LANES) && defined(__AVX2__)
#include "engine/dsp/OscillatorLaneLoops.h"
#endif

namespace corvex {

#if defined(CORVEX_BUILD_AVX2_LANES) && defined(__AVX2__)
namespace {

typedef float Float8 __attribute__((vector_size(32)));
typedef int32_t Int8 __attribute__((vector_size(32)));

constexpr OscillatorLaneGroups<SteppedSawLane, 8, 2> kSteppedSawGroups{
    {steppedSawGroup<Float8, Int8, 8, 1>, steppedSawGroup<Float8, Int8, 8, 2>}, steppedSawOneLane};
constexpr OscillatorLaneGroups<ParabolaSawLane, 8, 2> kParabolaSawGroups{
    {parabolaSawGroup<Float8, Int8, 8, 1>, parabolaSawGroup<Float8, Int8, 8, 2>}, parabolaSawOneLane};
constexpr OscillatorLaneGroups<SyncLane, 8, 2> kSyncGroups{{syncGroup<Float8, Int8, 8, 1>, syncGroup<Float8, Int8, 8, 2>},
                                                           syncOneLane};

constexpr OscillatorLaneGroups<ToneLane, 8, 2> kToneGroups{{toneGroup<Float8, Int8, 8, 1>, toneGroup<Float8, Int8, 8, 2>},
                                                           toneOneLane};

void steppedSawAvx2(SteppedSawLane* lanes, int count) { runOscillatorGroups(kSteppedSawGroups, lanes, count); }
void parabolaSawAvx2(ParabolaSawLane* lanes, int count) { runOscillatorGroups(kParabolaSawGroups, lanes, count); }
void syncAvx2(SyncLane* lanes, int count) { runOscillatorGroups(kSyncGroups, lanes, count); }
void toneAvx2(ToneLane* lanes, int count) { runOscillatorGroups(kToneGroups, lanes, count); }
constexpr OscillatorLaneKernels kAvx2{steppedSawAvx2, parabolaSawAvx2, syncAvx2, toneAvx2, "AVX2 eight-lane vectors"};

} // namespace

const OscillatorLaneKernels* avx2OscillatorLaneKernels() {
    static const bool usable = __builtin_cpu_supports("avx2");
    return usable ? &kAvx2 : nullptr;
}
#else
const OscillatorLaneKernels* avx2OscillatorLaneKernels() { return nullptr; }
#endif

} // namespace corvex
