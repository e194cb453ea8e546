// Base64 with the standard alphabet and "=" padding: the carriage for every
// free text that passes between a movie and the projector API.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

std::string Base64Encode(std::string_view bytes);

// Decodes groups of four characters. A "=" ends the decoding wherever it
// stands; a short last group of two or three characters yields one or two
// bytes (a lone character yields nothing). Characters outside the alphabet
// (line breaks, spaces, anything else a movie may send) are skipped, so bad
// input decodes to whatever its valid characters say and never fails.
std::string Base64Decode(std::string_view text);

}  // namespace kestrel
