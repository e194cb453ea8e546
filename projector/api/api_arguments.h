// The arguments of one API call, read by position. Every argument arrives as
// text; a method that reads past the arguments given reads an empty text, so
// a short call never reads out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

class ApiArguments {
  public:
    ApiArguments() = default;
    ApiArguments(const std::string_view* arguments, std::size_t count)
        : arguments_(arguments), count_(count) {}

    std::size_t Count() const { return count_; }

    // The text as it arrived (window names, menu names, folder keys...).
    std::string_view Raw(std::size_t index) const;
    // atol: leading blanks and sign, decimal digits up to the first other
    // character, 0 without digits; out-of-range values clamp to 32 bits.
    std::int32_t AsInteger(std::size_t index) const;
    // The same reading for 64-bit file positions.
    std::int64_t AsInteger64(std::size_t index) const;
    // strtod of the raw text.
    double AsReal(std::size_t index) const;
    // "true" without regard to case.
    bool AsFlag(std::size_t index) const;
    // Base64-decoded bytes.
    std::string AsText(std::size_t index) const;
    // Decoded, then "true" without regard to case.
    bool AsCodedFlag(std::size_t index) const;

  private:
    const std::string_view* arguments_ = nullptr;  // not owned
    std::size_t count_ = 0;
};

// "true" compared without regard to case.
bool IsTrueWord(std::string_view text);

}  // namespace kestrel
