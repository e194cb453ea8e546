#include "builder/export/plist_text.h"

#include <cstdint>

namespace kestrel {

namespace {

// Windows-1252 0x80-0x9F; 0 where the code page has no character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::string PlistText(const std::string& ansi) {
    std::string out;
    for (char ch : ansi) {
        uint8_t byte = static_cast<uint8_t>(ch);
        switch (byte) {
            case '&':
                out += "&amp;";
                continue;
            case '<':
                out += "&lt;";
                continue;
            case '>':
                out += "&gt;";
                continue;
            case '"':
                out += "&quot;";
                continue;
            case '\'':
                out += "&apos;";
                continue;
            default:
                break;
        }
        uint32_t c = byte;
        if (byte >= 0x80 && byte < 0xA0)
            c = kCp1252High[byte - 0x80] ? kCp1252High[byte - 0x80] : 0xFFFD;
        // Control characters other than tab are not allowed in XML 1.0.
        if (c < 0x20 && c != '\t') c = 0xFFFD;
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace kestrel
