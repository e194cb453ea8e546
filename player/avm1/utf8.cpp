#include "player/avm1/utf8.h"

namespace kestrel::avm1 {

std::u32string decodeUtf8(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        size_t need = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if (b < 0x80 || need == 0 || i + need >= s.size()) {
            out.push_back(b);
            ++i;
            continue;
        }
        uint32_t cp = b & (0x3F >> need);
        bool ok = true;
        for (size_t k = 1; k <= need; ++k) {
            auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out.push_back(b);
            ++i;
            continue;
        }
        // Strings index as UTF-16: characters outside the BMP take two units.
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(0xD800 + (cp >> 10));
            out.push_back(0xDC00 + (cp & 0x3FF));
        } else {
            out.push_back(cp);
        }
        i += need + 1;
    }
    return out;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | ((cp >> 18) & 0x07));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string encodeUtf8(std::u32string_view chars) {
    std::string out;
    out.reserve(chars.size());
    for (size_t i = 0; i < chars.size(); ++i) {
        uint32_t c = chars[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < chars.size() && chars[i + 1] >= 0xDC00 &&
            chars[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (chars[i + 1] - 0xDC00);
            ++i;
        }
        appendUtf8(out, c);
    }
    return out;
}

size_t utf8Length(std::string_view text) {
    size_t n = 0;
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return text.size();
    n = decodeUtf8(text).size();
    return n;
}

}  // namespace kestrel::avm1
