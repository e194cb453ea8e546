// One family of API methods ("Window.", "FileSystem.", ...).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "projector/api/api_arguments.h"

namespace kestrel {

// Exactly one XML value, or no value at all.
using ApiResult = std::optional<std::string>;

class ApiFamily {
  public:
    virtual ~ApiFamily() = default;
    // `method` is the name after the family prefix. An unknown method gives
    // no value.
    virtual ApiResult Call(std::string_view method, const ApiArguments& arguments) = 0;
};

// A family whose methods are not served yet: every call gives no value.
class EmptyApiFamily : public ApiFamily {
  public:
    ApiResult Call(std::string_view, const ApiArguments&) override { return std::nullopt; }
};

}  // namespace kestrel
