#include "player/runtime/url_variables.h"

namespace kestrel::runtime {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The player escapes every character but letters and digits, as escape() does.
bool isUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string decodeUrlComponent(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string encodeUrlComponent(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (isUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

UrlVariables decodeUrlVariables(std::string_view text) {
    UrlVariables result;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('&', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(start, end - start);
        if (!piece.empty()) {
            size_t eq = piece.find('=');
            if (eq == std::string_view::npos)
                result.emplace_back(decodeUrlComponent(piece), std::string());
            else
                result.emplace_back(decodeUrlComponent(piece.substr(0, eq)),
                                    decodeUrlComponent(piece.substr(eq + 1)));
        }
        start = end + 1;
    }
    return result;
}

std::string encodeUrlVariables(const UrlVariables& variables) {
    std::string out;
    for (const auto& [name, value] : variables) {
        if (!out.empty()) out += '&';
        out += encodeUrlComponent(name);
        out += '=';
        out += encodeUrlComponent(value);
    }
    return out;
}

}  // namespace kestrel::runtime
