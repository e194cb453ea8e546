// Strings are UTF-8 inside the engine; character operations count UTF-16 units as the
// player does (a character outside the BMP is two units).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::avm1 {

// UTF-16 units of a UTF-8 text; invalid bytes stand for themselves (Latin-1).
std::u32string decodeUtf8(std::string_view text);
std::string encodeUtf8(std::u32string_view chars);
void appendUtf8(std::string& out, uint32_t codePoint);
size_t utf8Length(std::string_view text);

}  // namespace kestrel::avm1
