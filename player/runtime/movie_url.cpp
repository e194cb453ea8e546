#include "player/runtime/movie_url.h"

#include <cstdio>

namespace kestrel::runtime {

namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A scheme is two or more letters (one letter is a drive) before the first ':'.
bool HasScheme(const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i) {
        const char c = text[i];
        if (!IsLetter(c) &&
            !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return true;
}

// Path characters that a URL cannot carry as they are.
std::string EscapedPath(const std::string& path) {
    std::string out;
    for (unsigned char c : path) {
        if (c == '\\') {
            out += '/';
        } else if (c <= ' ' || c >= 0x7F || c == '%' || c == '#' || c == '?' || c == '"') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

std::string MovieUrlFrom(const std::string& location) {
    if (HasScheme(location)) return location;
    const bool drive = location.size() >= 3 && IsLetter(location[0]) && location[1] == ':' &&
                       (location[2] == '\\' || location[2] == '/');
    if (drive) return "file:///" + location.substr(0, 1) + "|" + EscapedPath(location.substr(2));
    // "\\server\share\a.swf" names a host.
    if (location.size() > 2 && (location[0] == '\\' || location[0] == '/') &&
        location[1] == location[0])
        return "file:" + EscapedPath(location);
    if (!location.empty() && location[0] == '/') return "file://" + EscapedPath(location);
    return location;
}

}  // namespace kestrel::runtime
