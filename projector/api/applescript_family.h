// The "AppleScript." family: scripts run only on a Mac, so "runScript" and
// "runFile" answer false here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "projector/api/api_family.h"

namespace kestrel {

class AppleScriptFamily : public ApiFamily {
  public:
    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;
    static std::vector<std::string> MethodNames();
};

}  // namespace kestrel
