#include "projector/api/api_arguments.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "common/ascii_case.h"
#include "common/net/base64.h"

namespace kestrel {

bool IsTrueWord(std::string_view text) {
    constexpr std::string_view kTrue = "true";
    if (text.size() != kTrue.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        c = AsciiLower(c);
        if (c != kTrue[i]) return false;
    }
    return true;
}

std::string_view ApiArguments::Raw(std::size_t index) const {
    return index < count_ ? arguments_[index] : std::string_view();
}

std::int32_t ApiArguments::AsInteger(std::size_t index) const {
    std::string text(Raw(index));
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::int64_t ApiArguments::AsInteger64(std::size_t index) const {
    std::string text(Raw(index));
    return std::strtoll(text.c_str(), nullptr, 10);
}

double ApiArguments::AsReal(std::size_t index) const {
    std::string text(Raw(index));
    return std::strtod(text.c_str(), nullptr);
}

bool ApiArguments::AsFlag(std::size_t index) const {
    return IsTrueWord(Raw(index));
}

std::string ApiArguments::AsText(std::size_t index) const {
    return Base64Decode(Raw(index));
}

bool ApiArguments::AsCodedFlag(std::size_t index) const {
    return IsTrueWord(AsText(index));
}

}  // namespace kestrel
