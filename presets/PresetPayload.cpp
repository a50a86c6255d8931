// A preset's payload: the chunk stream, zlib-compressed at level 9 (RFC 1950, header and Adler-32 trailer).
#include "presets/PresetPayload.h"

#include <zlib.h>

namespace corvex {

std::optional<std::vector<uint8_t>> compressPayload(const std::vector<uint8_t>& plain) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, plain.data(), static_cast<uLong>(plain.size()), 9) != Z_OK)
        return std::nullopt;
    packed.resize(size);
    return packed;
}

std::optional<std::vector<uint8_t>> decompressPayload(const uint8_t* data, size_t size, PayloadFault* fault) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    std::vector<uint8_t> plain;
    uint8_t buffer[16384];
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    int result = Z_OK;
    bool tooLarge = false;
    while (result == Z_OK) {
        stream.next_out = buffer;
        stream.avail_out = sizeof(buffer);
        result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END)
            break;
        plain.insert(plain.end(), buffer, buffer + (sizeof(buffer) - stream.avail_out));
        if (plain.size() > kMaxPayloadBytes) {
            tooLarge = true;
            break;
        }
    }
    inflateEnd(&stream);
    // A stream cut short ends in Z_BUF_ERROR (no progress possible), a damaged one in Z_DATA_ERROR.
    if (tooLarge || result != Z_STREAM_END) {
        if (fault != nullptr)
            *fault = tooLarge ? PayloadFault::kTooLarge : PayloadFault::kDamaged;
        return std::nullopt;
    }
    return plain;
}

} // namespace corvex
