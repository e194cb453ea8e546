// Pure value conversions that depend only on the SWF version (no objects involved).
#pragma once

#include <string>
#include <string_view>

namespace kestrel::avm1 {

// Flash's number-to-string: 15 significant digits, "1e+21" exponent forms, "NaN",
// "Infinity", "-Infinity", and -0 as "0".
std::string formatNumber(double value);
// Number.toString(radix) for radix 2..36 (integers; fractions are truncated as Flash does).
std::string formatNumberRadix(double value, int radix);
// String to number by the rules of the movie's version: SWF 4 reads the leading number and
// gives 0 for none; from SWF 5 the whole text must be a number (else NaN); "0x" hex and
// leading-zero octal are read from SWF 6; leading whitespace is accepted.
double stringToNumber(std::string_view text, int swfVersion);
// A string's truth value: non-empty from SWF 7, its number value being non-zero below.
bool stringToBoolean(std::string_view text, int swfVersion);
// ToInt32 and ToUint32 of ECMA-262 (bit operations).
int32_t toInt32(double value);
uint32_t toUint32(double value);
// parseInt / parseFloat of the global object.
double parseIntText(std::string_view text, int radix, bool radixGiven, int swfVersion);
double parseFloatText(std::string_view text);

}  // namespace kestrel::avm1
