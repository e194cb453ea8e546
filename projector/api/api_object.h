// The API object of one projector window: the dispatcher with its family
// handlers, and the host callback through which the plug-in instance of the
// window reaches the projector (URL requests and calls out of the movie).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "projector/api/api_dispatcher.h"
#include "projector/api/movie_caller.h"
#include "projector/api/window_registry.h"
#include "projector/bridge/url_loader.h"

namespace kestrel {

class ApiObject {
  public:
    // None is owned; all outlive the object. Installs the "Api." and
    // "Window." families; the other families start empty and are installed
    // through Dispatcher().
    ApiObject(WindowRegistry& windows, MovieCaller& movie, UrlLoader& urls);
    ApiObject(const ApiObject&) = delete;
    ApiObject& operator=(const ApiObject&) = delete;

    // ":getURL" url, ":postData" data, ":post" url, ":fsCommand" command args
    // (only "quit" is served), else an API call. The
    // answer may hold any bytes (fetched data); no value means no answer.
    ApiResult HostCall(std::string_view name, const std::string_view* arguments, std::size_t count);

    ApiDispatcher& Dispatcher() { return dispatcher_; }

  private:
    UrlLoader& urls_;
    ApiDispatcher dispatcher_;
    // The data of the last ":postData", sent by every later ":post".
    std::optional<std::string> pendingPostData_;
};

}  // namespace kestrel
