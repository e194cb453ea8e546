// Case folding for the keywords and names a movie compares without regard to case.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace kestrel::player {

inline std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace kestrel::player
