// The per-slot record that a module type's block loader and setter fill and every instance of the slot reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace corvex {

struct ParameterRecord {
    // Large enough for the biggest record of any type (the step sequencer's three tracks).
    static constexpr size_t kBodyBytes = 4096;

    uint8_t type = 0;
    uint8_t instance = 0;
    uint8_t slot = 0;
    uint8_t group = 0;
    uint8_t partNumber = 0; // section: 0 kernel, 1..4 part
    uint8_t phase = 0;      // 1 for value sources, which run after the voices
    uint8_t reserved[2] = {};
    alignas(16) unsigned char body[kBodyBytes] = {};

    template <class T>
    T& as() {
        static_assert(sizeof(T) <= kBodyBytes, "parameter record body too small");
        static_assert(std::is_trivially_copyable<T>::value, "records hold plain data");
        return *reinterpret_cast<T*>(body);
    }
    template <class T>
    const T& as() const {
        static_assert(sizeof(T) <= kBodyBytes, "parameter record body too small");
        return *reinterpret_cast<const T*>(body);
    }
};

} // namespace corvex
