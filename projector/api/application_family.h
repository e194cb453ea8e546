// The "Application." family: where the projector program lives, and quitting.
// The dock, Z-order and window-state methods exist for other platforms and do
// nothing here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "projector/api/api_family.h"

namespace kestrel {

class ApplicationServices {
  public:
    virtual ~ApplicationServices() = default;
    virtual std::string ProgramPath() = 0;  // full path of the projector program
    // Asks the main loop to end (exit code 0) once the current call returns.
    virtual void Quit() = 0;
};

class ApplicationFamily : public ApiFamily {
  public:
    explicit ApplicationFamily(ApplicationServices& application) : application_(application) {}

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    static std::vector<std::string> MethodNames();

  private:
    ApplicationServices& application_;  // not owned
};

}  // namespace kestrel
