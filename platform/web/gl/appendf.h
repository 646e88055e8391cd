// Text the layers hand the page (JSON, mostly), built up with printf's formats.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

// Appends printf(format, ...) to `out`; a piece is at most 255 characters.
inline void appendf(std::string &out, const char *format, ...)
{
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    out += text;
}
