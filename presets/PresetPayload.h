// A preset's payload: the chunk stream, zlib-compressed at level 9 (RFC 1950, header and Adler-32 trailer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace corvex {

// A program's chunk stream is a few kilobytes; a payload unpacking past this is refused, not held in memory.
constexpr size_t kMaxPayloadBytes = 64u << 20;

enum class PayloadFault { kDamaged, kTooLarge };

std::optional<std::vector<uint8_t>> compressPayload(const std::vector<uint8_t>& plain);
// Nothing for data that is not one complete zlib stream (truncated or corrupt), or that unpacks past
// kMaxPayloadBytes; fault, when given, tells which.
std::optional<std::vector<uint8_t>> decompressPayload(const uint8_t* data, size_t size, PayloadFault* fault = nullptr);

} // namespace corvex
