// The scale of each connection's block-rate modulation, worked out when the connection list changes.
#pragma once

#include <cstdint>
#include <cstddef>

#include "engine/dsp/ConnectionDescriptor.h"

namespace corvex {

// The words a scale was made from come with it, so a record changed behind the list's back is
// noticed and scaled afresh instead of with a stale number.
struct ModulationScale {
    uint32_t words = 0;
    float scale = 0.0f;
};

struct ModulationScaleTable {
    const ConnectionDescriptor* descriptors = nullptr;
    const ModulationScale* scales = nullptr;
    int count = 0;
};

// The range factor times the curved amount: what one unit of the source moves the input by.
float connectionScale(const ConnectionDescriptor& d);
inline uint32_t scaleWords(const ConnectionDescriptor& d) { return uint32_t(d.words[2]) | (uint32_t(d.words[3]) << 16); }
inline ModulationScale makeModulationScale(const ConnectionDescriptor& d) { return {scaleWords(d), connectionScale(d)}; }

// The table in force on this thread, or null.
const ModulationScaleTable* modulationScalesInForce();

// The scale of a connection: from the table when it holds the connection with the same words,
// else worked out afresh.
inline float modulationScaleOf(const ModulationScaleTable* table, const ConnectionDescriptor* d) {
    if (table != nullptr) {
        const auto at = reinterpret_cast<uintptr_t>(d);
        const auto base = reinterpret_cast<uintptr_t>(table->descriptors);
        if (at >= base && at < base + uintptr_t(table->count) * sizeof(ConnectionDescriptor)) {
            const ModulationScale& s = table->scales[(at - base) / sizeof(ConnectionDescriptor)];
            if (s.words == scaleWords(*d)) return s.scale;
        }
    }
    return connectionScale(*d);
}

// Puts a list's table in force on this thread while its modules run, and the one before back after.
class ScopedModulationScales {
public:
    explicit ScopedModulationScales(const ModulationScaleTable& table);
    ~ScopedModulationScales();
    ScopedModulationScales(const ScopedModulationScales&) = delete;
    ScopedModulationScales& operator=(const ScopedModulationScales&) = delete;

private:
    ModulationScaleTable table_;
    const ModulationScaleTable* previous_;
};

} // namespace corvex
