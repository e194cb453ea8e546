// The "DLL." family. Loading a library by a fixed name would run whatever DLL
// of that name lies beside the program, so nothing is ever loaded: "open"
// answers 0 and "call" answers false.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "projector/api/api_family.h"

namespace kestrel {

class DllFamily : public ApiFamily {
  public:
    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;
    static std::vector<std::string> MethodNames();
};

}  // namespace kestrel
