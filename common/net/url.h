// Splitting the addresses and post data that the plug-in hands to the
// projector, and the file rule for addresses that are not http(s).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel {

struct UrlParts {
    bool secure = false;  // "https://": TLS on the connection
    std::string host;     // without user info, port or brackets of an IPv6 literal
    std::uint16_t port = 80;
    std::string objectPath;  // "/" at least; query kept, fragment dropped
};

// Splits "http://host[:port]/path?query#fragment". An address without a scheme
// is taken as plain http. The default port is 80 for http and 443 for https.
// No value when the host is empty or the port is not a number from 1 to 65535.
std::optional<UrlParts> SplitUrl(std::string_view url);

// True for addresses the URL fetcher serves: "http://" or "https://" exactly.
bool IsHttpUrl(std::string_view url);

struct PostData {
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

// Splits post data the way the plug-in interface defines it: header lines up
// to the first empty line (each "name: value", split at its first ":", one
// space after the colon skipped, lines without ":" ignored), then the body.
// Lines may end with "\r\n" or "\n". Data without an empty line has no header
// section: all of it is the body, so nothing the plug-in sent is lost.
PostData SplitPostData(std::string_view data);

// The file that a non-http address names: a leading "file:///" is dropped,
// every "/" becomes "\", and a relative path is taken relative to the unpack
// folder. Absolute paths and
// ".." are kept as they are: a movie may read any file its user can.
std::string LocalPathForUrl(std::string_view url, std::string_view unpackFolder);

}  // namespace kestrel
