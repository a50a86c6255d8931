// The voice modules' lanes in 256-bit registers: built with AVX2 enabled for this file alone and
// used only where the processor reports it, so the program itself never requires it.
#include "engine/dsp/FilterLanes.h"

#if defined(CORVEX_BUILD_AVX2_LANES) && defined(__AVX2__)
#include "engine/dsp/FilterLaneLoops.h"
#endif

namespace corvex {

#if defined(CORVEX_BUILD_AVX2_LANES) && defined(__AVX2__)
namespace {

typedef double Double4 __attribute__((vector_size(32)));
typedef float Float4 __attribute__((vector_size(16)));
typedef double Double2 __attribute__((vector_size(16)));
typedef float Float2 __attribute__((vector_size(8)));

void cascadeOne(CascadeLane* lane) { cascadeOneLane(*lane); }
void highPassOne(HighPassLane* lane) { highPassOneLane(*lane); }
void phaserOne(PhaserLane* lane) { phaserOneLane(*lane); }
void distortionOne(DistortionLane* lane) { distortionOneLane(*lane); }
void chorusOne(ChorusLane* lane) { chorusOneLane(*lane); }

constexpr LaneGroups<CascadeLane, 16> kCascadeGroups{
    {cascadeGroup<Double4, Float4, 4, 4>, cascadeGroup<Double4, Float4, 4, 2>, cascadeGroup<Double4, Float4, 4, 1>,
     cascadeGroup<Double2, Float2, 2, 1>, cascadeOne}};
constexpr LaneGroups<HighPassLane, 16> kHighPassGroups{
    {highPassGroup<Double4, Float4, 4, 4>, highPassGroup<Double4, Float4, 4, 2>, highPassGroup<Double4, Float4, 4, 1>,
     highPassGroup<Double2, Float2, 2, 1>, highPassOne}};
constexpr LaneGroups<PhaserLane, 16> kPhaserGroups{
    {phaserGroup<Double4, Float4, 4, 4>, phaserGroup<Double4, Float4, 4, 2>, phaserGroup<Double4, Float4, 4, 1>,
     phaserGroup<Double2, Float2, 2, 1>, phaserOne}};
constexpr LaneGroups<DistortionLane, 16> kDistortionGroups{
    {distortionGroup<Double4, Float4, 4, 4>, distortionGroup<Double4, Float4, 4, 2>,
     distortionGroup<Double4, Float4, 4, 1>, distortionGroup<Double2, Float2, 2, 1>, distortionOne}};
constexpr LaneGroups<ChorusLane, 16> kChorusGroups{
    {chorusGroup<Double4, Float4, 4, 4>, chorusGroup<Double4, Float4, 4, 2>, chorusGroup<Double4, Float4, 4, 1>,
     chorusGroup<Double2, Float2, 2, 1>, chorusOne}};

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
