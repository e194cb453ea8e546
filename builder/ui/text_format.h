// printf-style formatting into a string sized to fit. Only the program's own
// format texts (string table, literals) are formats; user text is an argument.
#pragma once

#include <cstdarg>
#include <string>

namespace kestrel {

std::string FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
std::string FormatTextV(const char* format, va_list arguments);

}  // namespace kestrel
