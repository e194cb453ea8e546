#include "projector/api/api_object.h"

#include <memory>

#include "common/ascii_case.h"
#include "projector/api/api_init_family.h"
#include "projector/api/window_family.h"

namespace kestrel {

ApiObject::ApiObject(WindowRegistry& windows, MovieCaller& movie, UrlLoader& urls) : urls_(urls) {
    dispatcher_.Install(ApiFamilyId::Api, std::make_unique<ApiInitFamily>(windows, movie));
    dispatcher_.Install(ApiFamilyId::Window, std::make_unique<WindowFamily>(windows));
}

ApiResult ApiObject::HostCall(std::string_view name, const std::string_view* arguments,
                              std::size_t count) {
    if (!name.empty() && name.front() == ':') {
        if (count < 1) return std::nullopt;
        if (name == ":getURL") return urls_.Load(arguments[0], nullptr);
        if (name == ":postData") {
            pendingPostData_ = std::string(arguments[0]);
            return std::string();
        }
        if (name == ":post")
            return urls_.Load(arguments[0], pendingPostData_ ? &*pendingPostData_ : nullptr);
        // A projector ends on fscommand("quit") as on Application.quit.
        if (name == ":fsCommand" && AsciiEqualsIgnoringCase(arguments[0], "quit")) {
            dispatcher_.Dispatch("Application.quit", ApiArguments());
            return std::string();
        }
        return std::nullopt;
    }
    return dispatcher_.Dispatch(name, ApiArguments(arguments, count));
}

}  // namespace kestrel
