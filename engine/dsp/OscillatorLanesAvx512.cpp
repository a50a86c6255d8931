// The oscillator's lanes in 512-bit registers: built with AVX-512 enabled for this file alone and used
// only where the processor reports it. Sixteen voices to a vector take a run of sixteen in one pass
// of each loop.
#include "engine/dsp/OscillatorLanes.h"

#if defined(CORVEX_BUILD_AVX512_LANES) && defined(__AVX512F__) && defined(__AVX512VL__) && defined(__AVX512DQ__) && \
    defined(__AVX512BW__)
#define CORVEX_AVX512_LANES 1
#include "engine/dsp/OscillatorLaneLoops.h"
#endif

namespace corvex {

#if defined(CORVEX_AVX512_LANES)
namespace {

typedef float Float16 __attribute__((vector_size(64)));
typedef int32_t Int16 __attribute__((vector_size(64)));
typedef float Float8 __attribute__((vector_size(32)));
typedef int32_t Int8 __attribute__((vector_size(32)));

constexpr OscillatorLaneGroups<SteppedSawLane, 16, 1> kSteppedSawGroups{{steppedSawGroup<Float16, Int16, 16, 1>},
                                                                        steppedSawOneLane};
constexpr OscillatorLaneGroups<ParabolaSawLane, 16, 1> kParabolaSawGroups{{parabolaSawGroup<Float16, Int16, 16, 1>},
                                                                          parabolaSawOneLane};
constexpr OscillatorLaneGroups<SyncLane, 16, 1> kSyncGroups{{syncGroup<Float16, Int16, 16, 1>}, syncOneLane};
constexpr OscillatorLaneGroups<ToneLane, 16, 1> kToneGroups{{toneGroup<Float16, Int16, 16, 1>}, toneOneLane};

// Eight voices or fewer left over go in one eight-lane vector: padded out to sixteen they would cost
// as much as sixteen, half of it spent on copies of the last voice.
constexpr OscillatorLaneGroups<SteppedSawLane, 8, 1> kSteppedSawEights{{steppedSawGroup<Float8, Int8, 8, 1>},
                                                                       steppedSawOneLane};
constexpr OscillatorLaneGroups<ParabolaSawLane, 8, 1> kParabolaSawEights{{parabolaSawGroup<Float8, Int8, 8, 1>},
                                                                         parabolaSawOneLane};
constexpr OscillatorLaneGroups<SyncLane, 8, 1> kSyncEights{{syncGroup<Float8, Int8, 8, 1>}, syncOneLane};
constexpr OscillatorLaneGroups<ToneLane, 8, 1> kToneEights{{toneGroup<Float8, Int8, 8, 1>}, toneOneLane};

template <typename Lane>
void runSixteens(const OscillatorLaneGroups<Lane, 16, 1>& sixteens, const OscillatorLaneGroups<Lane, 8, 1>& eights,
                 Lane* lanes, int count) {
    const int rest = count % 16;
    if (rest == 0 || rest > 8) {
        runOscillatorGroups(sixteens, lanes, count);
        return;
    }
    runOscillatorGroups(sixteens, lanes, count - rest);
    runOscillatorGroups(eights, lanes + count - rest, rest);
}

void steppedSawAvx512(SteppedSawLane* lanes, int count) {
    runSixteens(kSteppedSawGroups, kSteppedSawEights, lanes, count);
}
void parabolaSawAvx512(ParabolaSawLane* lanes, int count) {
    runSixteens(kParabolaSawGroups, kParabolaSawEights, lanes, count);
}
void syncAvx512(SyncLane* lanes, int count) { runSixteens(kSyncGroups, kSyncEights, lanes, count); }
void toneAvx512(ToneLane* lanes, int count) { runSixteens(kToneGroups, kToneEights, lanes, count); }
constexpr OscillatorLaneKernels kAvx512{steppedSawAvx512, parabolaSawAvx512, syncAvx512, toneAvx512,
                                        "AVX-512 sixteen-lane vectors"};

} // namespace

const OscillatorLaneKernels* avx512OscillatorLaneKernels() {
    // Every extension the file is built with, though the loops may only ever use some of them.
    static const bool usable = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                               __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw");
    return usable ? &kAvx512 : nullptr;
}
#else
const OscillatorLaneKernels* avx512OscillatorLaneKernels() { return nullptr; }
#endif

} // namespace corvex
