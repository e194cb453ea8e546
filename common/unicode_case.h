// Case folding of names for movies that compare names without regard to case (SWF 6 and
// below). Beyond ASCII the player folds the letters of Unicode 3.0: Latin, Greek,
// Cyrillic, Armenian, Latin and Greek extended, Roman numerals, circled and fullwidth
// letters. Letters added to Unicode later (U+023A, U+03F7...) do not fold. Texts are UTF-8;
// bytes that are not UTF-8 are kept as they stand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/ascii_case.h"

namespace kestrel {

namespace unicode_case_detail {

// Upper-case letters first..last, every step-th, whose lower case is `delta` away.
struct LowerRun {
    uint32_t first;
    uint32_t last;
    uint32_t step;
    int32_t delta;
};

inline constexpr LowerRun kLowerRuns[] = {
    {0x00C0, 0x00D6, 1, 32},   {0x00D8, 0x00DE, 1, 32},   {0x0100, 0x012E, 2, 1},
    {0x0132, 0x0136, 2, 1},    {0x0139, 0x0147, 2, 1},    {0x014A, 0x0176, 2, 1},
    {0x0178, 0x0178, 1, -121}, {0x0179, 0x017D, 2, 1},    {0x0181, 0x0181, 1, 210},
    {0x0182, 0x0184, 2, 1},    {0x0186, 0x0186, 1, 206},  {0x0187, 0x0187, 1, 1},
    {0x0189, 0x018A, 1, 205},  {0x018B, 0x018B, 1, 1},    {0x018E, 0x018E, 1, 79},
    {0x018F, 0x018F, 1, 202},  {0x0190, 0x0190, 1, 203},  {0x0191, 0x0191, 1, 1},
    {0x0193, 0x0193, 1, 205},  {0x0194, 0x0194, 1, 207},  {0x0196, 0x0196, 1, 211},
    {0x0197, 0x0197, 1, 209},  {0x0198, 0x0198, 1, 1},    {0x019C, 0x019C, 1, 211},
    {0x019D, 0x019D, 1, 213},  {0x019F, 0x019F, 1, 214},  {0x01A0, 0x01A4, 2, 1},
    {0x01A6, 0x01A6, 1, 218},  {0x01A7, 0x01A7, 1, 1},    {0x01A9, 0x01A9, 1, 218},
    {0x01AC, 0x01AC, 1, 1},    {0x01AE, 0x01AE, 1, 218},  {0x01AF, 0x01AF, 1, 1},
    {0x01B1, 0x01B2, 1, 217},  {0x01B3, 0x01B5, 2, 1},    {0x01B7, 0x01B7, 1, 219},
    {0x01B8, 0x01B8, 1, 1},    {0x01BC, 0x01BC, 1, 1},    {0x01C4, 0x01C4, 1, 2},
    {0x01C5, 0x01C5, 1, 1},    {0x01C7, 0x01C7, 1, 2},    {0x01C8, 0x01C8, 1, 1},
    {0x01CA, 0x01CA, 1, 2},    {0x01CB, 0x01DB, 2, 1},    {0x01DE, 0x01EE, 2, 1},
    {0x01F1, 0x01F1, 1, 2},    {0x01F2, 0x01F4, 2, 1},    {0x01F6, 0x01F6, 1, -97},
    {0x01F7, 0x01F7, 1, -56},  {0x01F8, 0x021E, 2, 1},    {0x0222, 0x0232, 2, 1},
    {0x0386, 0x0386, 1, 38},   {0x0388, 0x038A, 1, 37},   {0x038C, 0x038C, 1, 64},
    {0x038E, 0x038F, 1, 63},   {0x0391, 0x03A1, 1, 32},   {0x03A3, 0x03AB, 1, 32},
    {0x03D8, 0x03EE, 2, 1},    {0x0400, 0x040F, 1, 80},   {0x0410, 0x042F, 1, 32},
    {0x0460, 0x0480, 2, 1},    {0x048A, 0x04BE, 2, 1},    {0x04C0, 0x04C0, 1, 15},
    {0x04C1, 0x04CD, 2, 1},    {0x04D0, 0x04FE, 2, 1},    {0x0531, 0x0556, 1, 48},
    {0x1E00, 0x1E94, 2, 1},    {0x1EA0, 0x1EFE, 2, 1},    {0x1F08, 0x1F0F, 1, -8},
    {0x1F18, 0x1F1D, 1, -8},   {0x1F28, 0x1F2F, 1, -8},   {0x1F38, 0x1F3F, 1, -8},
    {0x1F48, 0x1F4D, 1, -8},   {0x1F59, 0x1F5F, 2, -8},   {0x1F68, 0x1F6F, 1, -8},
    {0x1F88, 0x1F8F, 1, -8},   {0x1F98, 0x1F9F, 1, -8},   {0x1FA8, 0x1FAF, 1, -8},
    {0x1FB8, 0x1FB9, 1, -8},   {0x1FBA, 0x1FBB, 1, -74},  {0x1FBC, 0x1FBC, 1, -9},
    {0x1FC8, 0x1FCB, 1, -86},  {0x1FCC, 0x1FCC, 1, -9},   {0x1FD8, 0x1FD9, 1, -8},
    {0x1FDA, 0x1FDB, 1, -100}, {0x1FE8, 0x1FE9, 1, -8},   {0x1FEA, 0x1FEB, 1, -112},
    {0x1FEC, 0x1FEC, 1, -7},   {0x1FF8, 0x1FF9, 1, -128}, {0x1FFA, 0x1FFB, 1, -126},
    {0x1FFC, 0x1FFC, 1, -9},   {0x2160, 0x216F, 1, 16},   {0x24B6, 0x24CF, 1, 26},
    {0xFF21, 0xFF3A, 1, 32},
};

// Length of the UTF-8 sequence at i, or 0 when the byte there does not start one.
inline size_t SequenceLength(std::string_view s, size_t i, uint32_t& codePoint) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    uint32_t c = byte(i);
    size_t extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
    if (c < 0x80) {
        codePoint = c;
        return 1;
    }
    if (extra == 0 || i + extra >= s.size()) return 0;
    uint32_t value = c & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    codePoint = value;
    return extra + 1;
}

inline void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

inline bool IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace unicode_case_detail

// The lower-case letter of c, or c itself.
inline uint32_t UnicodeLower(uint32_t c) {
    if (c < 0x80) return static_cast<uint32_t>(AsciiLower(static_cast<char>(c)));
    for (const auto& run : unicode_case_detail::kLowerRuns) {
        if (c < run.first) break;
        if (c <= run.last && (c - run.first) % run.step == 0)
            return static_cast<uint32_t>(static_cast<int32_t>(c) + run.delta);
    }
    return c;
}

// The name with every letter in lower case; equal for names that differ only in case.
inline std::string NameCaseFolded(std::string_view name) {
    if (unicode_case_detail::IsAscii(name)) return AsciiLowered(name);
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size();) {
        uint32_t c = 0;
        size_t length = unicode_case_detail::SequenceLength(name, i, c);
        if (length == 0) {
            out += name[i++];  // not UTF-8: kept as it stands
            continue;
        }
        unicode_case_detail::AppendUtf8(out, UnicodeLower(c));
        i += length;
    }
    return out;
}

inline bool NamesEqualIgnoringCase(std::string_view a, std::string_view b) {
    if (unicode_case_detail::IsAscii(a) && unicode_case_detail::IsAscii(b))
        return AsciiEqualsIgnoringCase(a, b);
    return NameCaseFolded(a) == NameCaseFolded(b);
}

}  // namespace kestrel
