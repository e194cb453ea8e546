#include "projector/bridge/xml_value.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "common/net/base64.h"

namespace kestrel {
namespace {

// An object of two whole-number properties (a point, a size).
std::string XmlNumberPair(char firstId, std::int32_t first, char secondId, std::int32_t second) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer,
                  "<object><property id='%c'><number>%d</number></property>"
                  "<property id='%c'><number>%d</number></property></object>",
                  firstId, static_cast<int>(first), secondId, static_cast<int>(second));
    return buffer;
}

}  // namespace

std::string XmlFlag(bool value) {
    return value ? "<true/>" : "<false/>";
}

std::string XmlNull() {
    return "<null/>";
}

std::string XmlInteger(std::int32_t value) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "<number>%d</number>", static_cast<int>(value));
    return buffer;
}

std::string XmlInteger64(std::int64_t value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "<number>%" PRId64 "</number>", value);
    return buffer;
}

std::string XmlReal(double value, int width, int precision) {
    char format[64];
    if (width >= 0 && precision >= 0)
        std::snprintf(format, sizeof format, "<number>%%%d.%df</number>", width, precision);
    else if (width >= 0)
        std::snprintf(format, sizeof format, "<number>%%%d.f</number>", width);
    else if (precision >= 0)
        std::snprintf(format, sizeof format, "<number>%%.%df</number>", precision);
    else
        std::snprintf(format, sizeof format, "<number>%%f</number>");

    std::vector<char> buffer(256);
    for (;;) {
        int written = std::snprintf(buffer.data(), buffer.size(), format, value);
        if (written < 0) return "<number>0</number>";
        if (static_cast<size_t>(written) < buffer.size()) return buffer.data();
        buffer.resize(buffer.size() * 2);
    }
}

std::string XmlReal2(double value) {
    return XmlReal(value, -1, 2);
}

std::string XmlText(std::string_view plain) {
    return "<string>" + Base64Encode(plain) + "</string>";
}

std::string XmlPlainWord(std::string_view word) {
    std::string xml = "<string>";
    xml += word;
    xml += "</string>";
    return xml;
}

std::string XmlPoint(std::int32_t x, std::int32_t y) {
    return XmlNumberPair('x', x, 'y', y);
}

std::string XmlSize(std::int32_t width, std::int32_t height) {
    return XmlNumberPair('w', width, 'h', height);
}

std::string XmlTextList(const std::vector<std::string>& items) {
    std::string xml = "<array>";
    for (size_t i = 0; i < items.size(); ++i) {
        xml += "<property id='" + std::to_string(i) + "'><string>";
        xml += Base64Encode(items[i]);
        xml += "</string></property>";
    }
    xml += "</array>";
    return xml;
}

std::string XmlNumberList(const std::vector<std::int32_t>& items) {
    std::string xml = "<array>";
    char buffer[96];
    for (size_t i = 0; i < items.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "<property id='%d'><number>%d</number></property>",
                      static_cast<int>(i), static_cast<int>(items[i]));
        xml += buffer;
    }
    xml += "</array>";
    return xml;
}

std::string XmlDate(const XmlDateParts& parts) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer,
                  "<object><property id='year'><number>%d</number></property>"
                  "<property id='month'><number>%d</number></property>"
                  "<property id='date'><number>%d</number></property>"
                  "<property id='hour'><number>%d</number></property>"
                  "<property id='minute'><number>%d</number></property>"
                  "<property id='second'><number>%d</number></property></object>",
                  parts.year, parts.month, parts.date, parts.hour, parts.minute, parts.second);
    return buffer;
}

}  // namespace kestrel
