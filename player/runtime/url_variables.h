// "name=value&name=value" texts that LoadVars and loadVariables read and send.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel::runtime {

using UrlVariables = std::vector<std::pair<std::string, std::string>>;

// Splits at "&" and the first "=" of each piece; "+" is a space and %XX a byte.
// Empty pieces are skipped; a piece without "=" is a name with an empty value.
UrlVariables decodeUrlVariables(std::string_view text);

// Percent-encodes everything but letters, digits and "-_.".
std::string encodeUrlComponent(std::string_view text);
std::string decodeUrlComponent(std::string_view text);

std::string encodeUrlVariables(const UrlVariables& variables);

}  // namespace kestrel::runtime
