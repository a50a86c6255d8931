// The voice modules' lanes in 256-bit registers: built with AVX2 enabled for this file alone and
// used only where the processor reports it, so the program itself never requires it.
#include "engine/dsp/FilterLanes.h"

#if defined(CORVEX_BUILD_AVX2_LANES) && defined(__AVX2__)
#include "engine/dsp/FilterLaneLoops.h"
#endif

namespace corvex {

#if defined(CORVEX_BUILD_AVX2_LANES) && defined(__AVX2__)
namespace {



constexpr LaneGroups<CascadeLane, 16> kCascadeGroups{
    {cascadeGroup<LaneDouble4, LaneFloat4, 4, 4>, cascadeGroup<LaneDouble4, LaneFloat4, 4, 2>,
     cascadeGroup<LaneDouble4, LaneFloat4, 4, 1>, cascadeGroup<LaneDouble2, LaneFloat2, 2, 1>, cascadeOne}};
constexpr LaneGroups<HighPassLane, 16> kHighPassGroups{
    {highPassGroup<LaneDouble4, LaneFloat4, 4, 4>, highPassGroup<LaneDouble4, LaneFloat4, 4, 2>,
     highPassGroup<LaneDouble4, LaneFloat4, 4, 1>, highPassGroup<LaneDouble2, LaneFloat2, 2, 1>, highPassOne}};
constexpr LaneGroups<PhaserLane, 16> kPhaserGroups{
    {phaserGroup<LaneDouble4, LaneFloat4, 4, 4>, phaserGroup<LaneDouble4, LaneFloat4, 4, 2>,
     phaserGroup<LaneDouble4, LaneFloat4, 4, 1>, phaserGroup<LaneDouble2, LaneFloat2, 2, 1>, phaserOne}};
constexpr LaneGroups<DistortionLane, 16> kDistortionGroups{
    {distortionGroup<LaneDouble4, LaneFloat4, 4, 4>, distortionGroup<LaneDouble4, LaneFloat4, 4, 2>,
     distortionGroup<LaneDouble4, LaneFloat4, 4, 1>, distortionGroup<LaneDouble2, LaneFloat2, 2, 1>, distortionOne}};
constexpr LaneGroups<ChorusLane, 16> kChorusGroups{
    {chorusGroup<LaneDouble4, LaneFloat4, 4, 4>, chorusGroup<LaneDouble4, LaneFloat4, 4, 2>,
     chorusGroup<LaneDouble4, LaneFloat4, 4, 1>, chorusGroup<LaneDouble2, LaneFloat2, 2, 1>, chorusOne}};

void cascadeAvx2(CascadeLane* lanes, int count) { runInGroups(kCascadeGroups, lanes, count); }
void highPassAvx2(HighPassLane* lanes, int count) { runInGroups(kHighPassGroups, lanes, count); }
void phaserAvx2(PhaserLane* lanes, int count) { runInPaddedGroups(kPhaserGroups, lanes, count); }
void distortionAvx2(DistortionLane* lanes, int count) { runInPaddedGroups(kDistortionGroups, lanes, count); }
void chorusAvx2(ChorusLane* lanes, int count) { runInGroups(kChorusGroups, lanes, count); }
constexpr FilterLaneKernels kAvx2{cascadeAvx2, highPassAvx2, phaserAvx2, distortionAvx2, chorusAvx2,
                                  "AVX2 four-lane vectors"};

} // namespace

const FilterLaneKernels* avx2FilterLaneKernels() {
    static const bool usable = __builtin_cpu_supports("avx2");
    return usable ? &kAvx2 : nullptr;
}
#else
const FilterLaneKernels* avx2FilterLaneKernels() { return nullptr; }
#endif

} // namespace corvex
