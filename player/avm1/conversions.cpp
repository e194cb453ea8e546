#include "player/avm1/conversions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kestrel::avm1 {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// Reads a decimal literal (sign, digits, fraction, exponent) filling the whole text.
bool parseDecimal(std::string_view s, double& out) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::string buf;
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') buf += s[i++], ++digits;
    if (i < s.size() && s[i] == '.') {
        buf += s[i++];
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') buf += s[i++], ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
        size_t expDigits = 0;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') exp += s[j++], ++expDigits;
        if (expDigits == 0) return false;
        buf += exp;
        i = j;
    }
    if (i != s.size()) return false;
    double v = std::strtod(buf.c_str(), nullptr);
    out = negative ? -v : v;
    return true;
}

}  // namespace

std::string formatNumber(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    if (value == 0) return "0";
    if (std::fabs(value) < 2147483648.0 && value == std::trunc(value)) {
        char b[32];
        std::snprintf(b, sizeof b, "%.0f", value);
        return b;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    // buf: [-]d.dddddddddddddde[+-]xx
    std::string s(buf);
    size_t e = s.find('e');
    std::string mantissa = s.substr(0, e);
    int exponent = std::atoi(s.c_str() + e + 1);
    bool negative = mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    std::string digits;
    for (char c : mantissa)
        if (c != '.') digits += c;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += exponent >= 0 ? "e+" : "e-";
        out += std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        size_t intLen = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intLen) {
            out += digits;
            out.append(intLen - digits.size(), '0');
        } else {
            out += digits.substr(0, intLen) + "." + digits.substr(intLen);
        }
    }
    return out;
}

std::string formatNumberRadix(double value, int radix) {
    if (radix == 10 || radix < 2 || radix > 36) return formatNumber(value);
    if (std::isnan(value) || std::isinf(value)) return formatNumber(value);
    int32_t n = toInt32(value);
    bool negative = n < 0;
    uint32_t u = negative ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[u % radix]);
        u /= radix;
    } while (u);
    return negative ? "-" + digits : digits;
}

double stringToNumber(std::string_view text, int swfVersion) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::string_view s = text;
    // SWF 4 has no NaN: a text counts up to its first non-numeric character, and one
    // without a number is 0.
    if (swfVersion < 5) {
        double v = parseFloatText(s);
        return std::isnan(v) ? 0.0 : v;
    }
    if (s.empty()) return nan;
    // Hex ("0x1F") and octal ("017", "-017") integers wrap to 32 bits; neither may follow
    // whitespace.
    if (swfVersion >= 6 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        uint32_t v = 0;
        size_t i = 2;
        bool negative = false;
        if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
        if (i == s.size()) return nan;
        for (; i < s.size(); ++i) {
            int d = digitValue(s[i]);
            if (d >= 16) return nan;
            v = v * 16 + static_cast<uint32_t>(d);
        }
        double r = static_cast<int32_t>(v);
        return negative ? -r : r;
    }
    {
        size_t i = 0;
        bool negative = false;
        if (s[0] == '+' || s[0] == '-') negative = s[i++] == '-';
        if (swfVersion >= 6 && i + 1 < s.size() && s[i] == '0') {
            bool octal = true;
            uint32_t v = 0;
            for (size_t k = i + 1; k < s.size() && octal; ++k) {
                if (s[k] < '0' || s[k] > '7') octal = false;
                v = v * 8 + static_cast<uint32_t>(s[k] - '0');
            }
            if (octal) {
                double r = static_cast<int32_t>(v);
                return negative ? -r : r;
            }
        }
    }
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    double v;
    if (parseDecimal(s, v)) return v;
    return nan;
}

bool stringToBoolean(std::string_view text, int swfVersion) {
    if (swfVersion >= 7) return !text.empty();
    double n = stringToNumber(text, swfVersion);
    return !std::isnan(n) && n != 0;
}

int32_t toInt32(double value) {
    if (std::isnan(value) || std::isinf(value)) return 0;
    double t = std::trunc(value);
    double m = std::fmod(t, 4294967296.0);
    if (m < 0) m += 4294967296.0;
    uint32_t u = static_cast<uint32_t>(m);
    return static_cast<int32_t>(u);
}

uint32_t toUint32(double value) {
    return static_cast<uint32_t>(toInt32(value));
}

double parseIntText(std::string_view text, int radix, bool radixGiven, int swfVersion) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::string_view s = text;
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (radixGiven && (radix < 2 || radix > 36)) return nan;
    if (!radixGiven) {
        radix = 10;
        if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
            radix = 16;
            s.remove_prefix(2);
        } else if (s.size() >= 2 && s[0] == '0') {
            // A leading zero means octal when every digit is octal.
            bool octal = true;
            for (char c : s)
                if (c < '0' || c > '7') octal = false;
            if (octal) radix = 8;
        }
    } else if (radix == 16 && s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
    }
    double v = 0;
    size_t used = 0;
    for (char c : s) {
        int d = digitValue(c);
        if (d >= radix) break;
        v = v * radix + d;
        ++used;
    }
    if (used == 0) return nan;
    return negative ? -v : v;
}

double parseFloatText(std::string_view text) {
    std::string_view s = text;
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    // Longest prefix that is a decimal literal.
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (s.substr(i, 8) == "Infinity")
        return s[0] == '-' ? -std::numeric_limits<double>::infinity()
                           : std::numeric_limits<double>::infinity();
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return std::numeric_limits<double>::quiet_NaN();
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        size_t expStart = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
        if (j > expStart) i = j;
    }
    double v = 0;
    parseDecimal(s.substr(0, i), v);
    return v;
}

}  // namespace kestrel::avm1
