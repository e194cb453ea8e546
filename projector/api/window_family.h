// The "Window." family: every method names its window first (raw) and looks
// it up again among the open windows, so a window closed meanwhile simply
// counts as absent.
#pragma once

#include <string>
#include <vector>

#include "projector/api/api_family.h"
#include "projector/api/window_registry.h"

namespace kestrel {

class WindowFamily : public ApiFamily {
  public:
    explicit WindowFamily(WindowRegistry& windows) : windows_(windows) {}  // not owned

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    static std::vector<std::string> MethodNames();

  private:
    WindowRegistry& windows_;
};

}  // namespace kestrel
