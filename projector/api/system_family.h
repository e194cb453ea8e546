// The "System." family: screen, memory, processor, system names, drives,
// sound volume, the CD tray, launching programs and the session requests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "projector/api/api_family.h"
#include "projector/api/system_services.h"

namespace kestrel {

class SystemFamily : public ApiFamily {
  public:
    explicit SystemFamily(SystemServices& system) : system_(system) {}  // not owned

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    // Every method name, in dispatch order.
    static std::vector<std::string> MethodNames();

  private:
    SystemServices& system_;
};

}  // namespace kestrel
