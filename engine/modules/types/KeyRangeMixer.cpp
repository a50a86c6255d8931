#include "engine/modules/types/KeyRangeMixer.h"

#include <algorithm>

#include "engine/modules/BlockBufferStore.h"

namespace corvex {

static_assert(sizeof(KeyRangeParams) <= ParameterRecord::kBodyBytes);

// Ten words per part from block word 7: [0] present, [1] 4 bits, [2] 2 bits, [3] 5 bits, [4] level,
// [5] 8 bits, [6] 1 bit, [7] 8 bits, [8] lowest key, [9] highest key.
void keyRangeLoad(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    if (record == nullptr) return;
    KeyRangeParams& p = record->as<KeyRangeParams>();
    for (int part = 0; part < kKeyRangeParts; ++part) {
        const int at = 7 + 10 * part;
        if (at + 10 > wordCount) break;
        const uint16_t* g = data + 2 + at;
        p.bits[part] = (g[0] & 1u) | ((g[2] & 3u) << 1) | ((g[3] & 31u) << 3) | ((g[1] & 15u) << 8) |
                       ((g[7] & 255u) << 12) | ((g[6] & 1u) << 20) | ((g[5] & 255u) << 21);
        p.level[part] = static_cast<float>(g[4]) * (1.0f / 16384.0f);
        p.lowKey[part] = static_cast<uint8_t>(std::min<int>(g[8], 127));
        p.highKey[part] = static_cast<uint8_t>(std::min<int>(g[9], 127));
    }
}

void keyRangeProcess(void* module, const ConnectionDescriptor*, const PortEntry* const* sources, const uint32_t* counts) {
    auto& m = *static_cast<KeyRangeMixerModule*>(module);
    if (counts == nullptr || m.head.record == nullptr) return;
    float* out[2] = {portBuffer(m.ports[0]), portBuffer(m.ports[1])};
    for (float* o : out)
        if (o) std::fill(o, o + kBlockFrames, 0.0f);
    const KeyRangeParams& p = m.head.record->as<KeyRangeParams>();
    int first = 0;
    for (int input = 0; input < 2 * kKeyRangeParts; ++input) {
        const uint32_t n = counts[input];
        const float* in = n > 0 && sources[first] ? portBuffer(*sources[first]) : nullptr;
        float* o = out[input & 1];
        if (in && o) {
            const float gain = p.level[input / 2];
            for (int i = 0; i < kBlockFrames; ++i) o[i] += in[i] * gain;
        }
        first += static_cast<int>(n);
    }
}

} // namespace corvex
