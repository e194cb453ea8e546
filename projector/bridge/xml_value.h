// The XML value forms in which the projector answers a movie's call, and the
// result forms every API family uses. Text is never XML-escaped: free text
// travels in Base64.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

std::string XmlFlag(bool value);             // "<true/>" / "<false/>"
std::string XmlNull();                       // "<null/>"
std::string XmlInteger(std::int32_t value);  // "<number>%d</number>"
std::string XmlInteger64(std::int64_t value);

// The number-format builder: "%f" with an optional width and precision
// (negative = not given), printed into a buffer that starts at 256 bytes and
// doubles until the text fits.
std::string XmlReal(double value, int width = -1, int precision = -1);
std::string XmlReal2(double value);  // "<number>%.2f</number>"

std::string XmlText(std::string_view plain);      // "<string>" + Base64 + "</string>"
std::string XmlPlainWord(std::string_view word);  // "<string>" + word + "</string>"
std::string XmlPoint(std::int32_t x, std::int32_t y);
std::string XmlSize(std::int32_t width, std::int32_t height);
std::string XmlTextList(const std::vector<std::string>& items);  // items Base64
std::string XmlNumberList(const std::vector<std::int32_t>& items);

struct XmlDateParts {
    int year = 0;
    int month = 0;  // counted from 0: January is 0
    int date = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
std::string XmlDate(const XmlDateParts& parts);

}  // namespace kestrel
