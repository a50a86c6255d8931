// Text read from disk or handed over by another program, made valid UTF-8 before anything decodes it.
#include "instrument/midi/Utf8Text.h"

namespace corvex {

namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed sequence at the start of the bytes, or 0 when there is none. The second
// byte's range is what rules out overlong forms (after E0 and F0), surrogates (after ED) and code points
// past U+10FFFF (after F4).
size_t wellFormedLength(std::string_view bytes) {
    const auto at = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (!isContinuation(at(i)))
            return 0;
    return length;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const size_t length = wellFormedLength(bytes);
        if (length == 0)
            return false;
        bytes.remove_prefix(length);
    }
    return true;
}

std::string validUtf8(std::string_view bytes) {
    if (isValidUtf8(bytes))
        return std::string(bytes);
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 2);
    while (!bytes.empty()) {
        const size_t length = wellFormedLength(bytes);
        if (length > 0) {
            text.append(bytes.data(), length);
            bytes.remove_prefix(length);
            continue;
        }
        const auto byte = static_cast<unsigned char>(bytes.front());
        if (byte >= 0xA0) {
            text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        } else {
            text.append("\xEF\xBF\xBD");
        }
        bytes.remove_prefix(1);
    }
    return text;
}

std::string_view utf8Prefix(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    size_t end = maxBytes;
    while (end > 0 && isContinuation(static_cast<unsigned char>(text[end])))
        --end;
    return text.substr(0, end);
}

} // namespace corvex
