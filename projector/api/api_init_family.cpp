#include "projector/api/api_init_family.h"

namespace kestrel {
namespace {

constexpr std::string_view kOnInit = "onInit";

}  // namespace

ApiResult ApiInitFamily::Call(std::string_view method, const ApiArguments&) {
    if (method == kOnInit) {
        // Copied first: the movie may open or close windows from inside the calls.
        const std::vector<std::string> names = windows_.WindowDefinitionNames();
        for (const std::string& name : names) movie_.CallMovie("addWindowForm", {name});
        movie_.CallMovie("setThisWindowForm", {"WindowForm"});
    }
    return std::nullopt;
}

std::vector<std::string> ApiInitFamily::MethodNames() {
    return {std::string(kOnInit)};
}

}  // namespace kestrel
