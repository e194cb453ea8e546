// Text for a property list: the builder's 8-bit (Windows-1252) text as
// UTF-8 with the XML special characters escaped.
#pragma once

#include <string>

namespace kestrel {

std::string PlistText(const std::string& ansi);

}  // namespace kestrel
