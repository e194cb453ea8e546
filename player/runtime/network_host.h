// The network side of a movie: what the player asks its host (the browser) to fetch.
// Requests with notification (XML.load, LoadVars, loadVariables) complete later through
// MoviePlayer::completeUrlRequest; plain navigations (getURL) have no answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::runtime {

struct UrlRequest {
    uint32_t id = 0;  // echoed back on completion
    std::string url;
    bool post = false;
    std::string body;                                          // post only
    std::vector<std::pair<std::string, std::string>> headers;  // post only (Content-Type...)
};

class NetworkHost {
  public:
    virtual ~NetworkHost() = default;
    // Starts a fetch whose data the host delivers with completeUrlRequest (or failUrlRequest).
    // False when the host refuses it at once (the movie then sees a failed load).
    virtual bool requestUrl(const UrlRequest& request) = 0;
    // getURL(url, window): a navigation nobody answers. `post` carries the movie's
    // variables when the method asked for it.
    virtual void navigate(const std::string& url, const std::string& target, bool post,
                          const std::string& body) {}
};

// ExternalInterface seen from the host: the player hands it the invoke XML of a call out
// and expects one XML value form back (see external_script.h for the browser texts).
class ExternalHost {
  public:
    virtual ~ExternalHost() = default;
    virtual std::optional<std::string> callOut(const std::string& invokeXml) = 0;
    // A name the movie registered with addCallback.
    virtual void callbackAdded(const std::string& name) {}
};

}  // namespace kestrel::runtime
