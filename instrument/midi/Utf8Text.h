// Text read from disk or handed over by another program, made valid UTF-8 before anything decodes it.
#pragma once

#include <string>
#include <string_view>

namespace corvex {

// True when every byte belongs to a well-formed UTF-8 sequence: no stray continuation bytes, no sequence cut
// short, no overlong form, no surrogate and nothing past U+10FFFF.
bool isValidUtf8(std::string_view bytes);

// The text as valid UTF-8; valid text comes back unchanged. A byte that starts no well-formed sequence is
// taken as a character of its own: 0xA0-0xFF as the Latin-1 character of that value, 0x80-0x9F as U+FFFD.
// Files we did not write come from hand edits and older tools that write an 8-bit encoding, nearly always
// Latin-1 or its Windows superset, so reading them that way gives back the name a person typed, accents
// and all, and a saved device name still matches its device; U+FFFD would lose both. 0x80-0x9F hold only
// control codes in Latin-1, nothing printable, so those are marked as unreadable instead.
std::string validUtf8(std::string_view bytes);

// At most maxBytes of valid UTF-8 text, cut before a character rather than through it.
std::string_view utf8Prefix(std::string_view text, size_t maxBytes);

} // namespace corvex
