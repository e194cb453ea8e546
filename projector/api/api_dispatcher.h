// Routes a call such as "Window.getPosition" to its family by prefix. The
// prefixes are compared in a fixed order, case-sensitively; the first match
// wins, and a name that matches none gives no value.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>

#include "projector/api/api_family.h"

namespace kestrel {

enum class ApiFamilyId {
    Application,
    Api,
    AppleScript,
    Clipboard,
    Dialogs,
    DLL,
    FileSystem,
    Menu,
    Network,
    Registry,
    System,
    Window,
};
constexpr std::size_t kApiFamilyCount = 12;

// "Application.", "Api.", ... "Window.": in ApiFamilyId order, which is the
// order in which they are tried.
extern const char* const kApiFamilyPrefixes[kApiFamilyCount];

class ApiDispatcher {
  public:
    // Every family starts as an empty one.
    ApiDispatcher();

    void Install(ApiFamilyId id, std::unique_ptr<ApiFamily> family);
    ApiFamily& Family(ApiFamilyId id) { return *families_[static_cast<std::size_t>(id)]; }

    ApiResult Dispatch(std::string_view name, const ApiArguments& arguments);

  private:
    std::array<std::unique_ptr<ApiFamily>, kApiFamilyCount> families_;
};

}  // namespace kestrel
