// The voice modules' lanes in 512-bit registers: built with AVX-512 enabled for this file alone and
// used only where the processor reports it. Eight doubles to a vector halve the operations of the
// 256-bit set; two side by side take a run of sixteen voices.
#include "engine/dsp/FilterLanes.h"

#if defined(CORVEX_BUILD_AVX512_LANES) && defined(__AVX512F__) && defined(__AVX512VL__) && defined(__AVX512DQ__)
#define CORVEX_AVX512_LANES 1
#include "engine/dsp/FilterLaneLoops.h"
#endif

namespace corvex {

#if defined(CORVEX_AVX512_LANES)
namespace {

typedef double Double8 __attribute__((vector_size(64)));
typedef float Float8 __attribute__((vector_size(32)));

constexpr LaneGroups<CascadeLane, 16> kCascadeGroups{
    {cascadeGroup<Double8, Float8, 8, 2>, cascadeGroup<Double8, Float8, 8, 1>,
     cascadeGroup<LaneDouble4, LaneFloat4, 4, 1>, cascadeGroup<LaneDouble2, LaneFloat2, 2, 1>, cascadeOne}};
constexpr LaneGroups<HighPassLane, 16> kHighPassGroups{
    {highPassGroup<Double8, Float8, 8, 2>, highPassGroup<Double8, Float8, 8, 1>,
     highPassGroup<LaneDouble4, LaneFloat4, 4, 1>, highPassGroup<LaneDouble2, LaneFloat2, 2, 1>, highPassOne}};
constexpr LaneGroups<PhaserLane, 16> kPhaserGroups{
    {phaserGroup<Double8, Float8, 8, 2>, phaserGroup<Double8, Float8, 8, 1>, phaserGroup<LaneDouble4, LaneFloat4, 4, 1>,
     phaserGroup<LaneDouble2, LaneFloat2, 2, 1>, phaserOne}};
constexpr LaneGroups<DistortionLane, 16> kDistortionGroups{
    {distortionGroup<Double8, Float8, 8, 2>, distortionGroup<Double8, Float8, 8, 1>,
     distortionGroup<LaneDouble4, LaneFloat4, 4, 1>, distortionGroup<LaneDouble2, LaneFloat2, 2, 1>, distortionOne}};
constexpr LaneGroups<ChorusLane, 16> kChorusGroups{
    {chorusGroup<Double8, Float8, 8, 2>, chorusGroup<Double8, Float8, 8, 1>, chorusGroup<LaneDouble4, LaneFloat4, 4, 1>,
     chorusGroup<LaneDouble2, LaneFloat2, 2, 1>, chorusOne}};

void cascadeAvx512(CascadeLane* lanes, int count) { runInGroups(kCascadeGroups, lanes, count); }
void highPassAvx512(HighPassLane* lanes, int count) { runInGroups(kHighPassGroups, lanes, count); }
void phaserAvx512(PhaserLane* lanes, int count) { runInPaddedGroups(kPhaserGroups, lanes, count); }
void distortionAvx512(DistortionLane* lanes, int count) { runInPaddedGroups(kDistortionGroups, lanes, count); }
void chorusAvx512(ChorusLane* lanes, int count) { runInGroups(kChorusGroups, lanes, count); }
constexpr FilterLaneKernels kAvx512{cascadeAvx512, highPassAvx512, phaserAvx512, distortionAvx512, chorusAvx512,
                                    "AVX-512 eight-lane vectors"};

} // namespace

const FilterLaneKernels* avx512FilterLaneKernels() {
    static const bool usable = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                               __builtin_cpu_supports("avx512dq");
    return usable ? &kAvx512 : nullptr;
}
#else
const FilterLaneKernels* avx512FilterLaneKernels() { return nullptr; }
#endif

} // namespace corvex
