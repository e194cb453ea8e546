// The "Api." family: "onInit" tells the movie the names of the project's
// windows ("addWindowForm" per definition, main window first) and then
// "setThisWindowForm" "WindowForm".
#pragma once

#include <string>
#include <vector>

#include "projector/api/api_family.h"
#include "projector/api/movie_caller.h"
#include "projector/api/window_registry.h"

namespace kestrel {

class ApiInitFamily : public ApiFamily {
  public:
    // Neither is owned; both outlive the family.
    ApiInitFamily(WindowRegistry& windows, MovieCaller& movie) : windows_(windows), movie_(movie) {}

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    static std::vector<std::string> MethodNames();

  private:
    WindowRegistry& windows_;
    MovieCaller& movie_;
};

}  // namespace kestrel
