// Answers the plug-in's URL requests that reach the host callback (":getURL"
// and ":post"): http(s) addresses through an HTTP client, everything else as
// a file, relative paths from the unpack folder.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/net/url.h"

namespace kestrel {

class UrlLoader {
  public:
    virtual ~UrlLoader() = default;
    // The fetched bytes, or nothing when the address cannot be fetched or read.
    // postData is null for a GET.
    virtual std::optional<std::string> Load(std::string_view url, const std::string* postData) = 0;
};

// Fetches one http(s) address: a POST when postData is given (already split
// into headers and body), else a GET. Nothing on failure.
using HttpFetch =
    std::function<std::optional<std::string>(const std::string& url, const PostData* postData)>;

class HostUrlLoader : public UrlLoader {
  public:
    HostUrlLoader(std::string unpackFolder, HttpFetch fetch);
    std::optional<std::string> Load(std::string_view url, const std::string* postData) override;

  private:
    std::string unpackFolder_;
    HttpFetch fetch_;
};

// Reads a whole file; nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// The URL fetcher on the system's internet library (Windows builds only).
HttpFetch MakeSystemHttpFetch();

}  // namespace kestrel
