#include "instrument/params/ParameterMapper.h"

#include <cstdarg>
#include <cstdio>

namespace corvex {

std::string ParameterMapper::getText(int, float value) const { return formatText("%.3f", value); }

std::string formatText(const char* format, ...) {
    char text[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

} // namespace corvex
