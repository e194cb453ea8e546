// Calling a family as the dispatcher does, for the family tests: arguments in
// the call's own text form, the answer as the movie would read it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/net/base64.h"
#include "projector/api/api_arguments.h"

namespace kestrel::test {

inline std::string B64(std::string_view text) {
    return Base64Encode(text);
}

// A string answer carrying `plain`.
inline std::string Text(std::string_view plain) {
    return "<string>" + Base64Encode(plain) + "</string>";
}

// The family's answer to `method` with `args` as they stand; "(none)" when it
// does not answer.
template <typename Family>
std::string FamilyAnswer(Family& family, std::string_view method,
                         const std::vector<std::string>& args) {
    std::vector<std::string_view> views(args.begin(), args.end());
    return family.Call(method, ApiArguments(views.data(), views.size())).value_or("(none)");
}

}  // namespace kestrel::test
