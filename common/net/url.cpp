#include "common/net/url.h"

namespace kestrel {
namespace {

constexpr std::string_view kHttp = "http://";
constexpr std::string_view kHttps = "https://";

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::optional<std::uint16_t> ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    std::uint32_t port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (port == 0 || port > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(port);
}

}  // namespace

bool IsHttpUrl(std::string_view url) {
    return StartsWith(url, kHttp) || StartsWith(url, kHttps);
}

std::optional<UrlParts> SplitUrl(std::string_view url) {
    UrlParts parts;
    if (StartsWith(url, kHttps)) {
        parts.secure = true;
        parts.port = 443;
        url.remove_prefix(kHttps.size());
    } else if (StartsWith(url, kHttp)) {
        url.remove_prefix(kHttp.size());
    }

    size_t fragment = url.find('#');
    if (fragment != std::string_view::npos) url = url.substr(0, fragment);

    size_t authorityEnd = url.find_first_of("/?");
    std::string_view authority = url.substr(0, authorityEnd);
    if (authorityEnd == std::string_view::npos) {
        parts.objectPath = "/";
    } else {
        std::string_view rest = url.substr(authorityEnd);
        if (rest.front() == '?') parts.objectPath = "/";
        parts.objectPath += rest;
    }

    // Credentials in the address are never sent as part of the host name.
    size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);

    std::string_view host = authority;
    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        size_t close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = authority.substr(1, close - 1);
        std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return std::nullopt;
            port = after.substr(1);
        }
    } else {
        size_t colon = authority.rfind(':');
        if (colon != std::string_view::npos) {
            host = authority.substr(0, colon);
            port = authority.substr(colon + 1);
        }
    }
    if (host.empty()) return std::nullopt;
    if (!port.empty()) {
        auto number = ParsePort(port);
        if (!number) return std::nullopt;
        parts.port = *number;
    }
    parts.host = std::string(host);
    return parts;
}

PostData SplitPostData(std::string_view data) {
    PostData result;
    // Find the empty line that ends the header section.
    size_t lineStart = 0;
    size_t bodyStart = std::string_view::npos;
    std::vector<std::string_view> headerLines;
    while (lineStart <= data.size()) {
        size_t newline = data.find('\n', lineStart);
        if (newline == std::string_view::npos) break;
        std::string_view line = data.substr(lineStart, newline - lineStart);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) {
            bodyStart = newline + 1;
            break;
        }
        headerLines.push_back(line);
        lineStart = newline + 1;
    }
    if (bodyStart == std::string_view::npos) {
        result.body = std::string(data);
        return result;
    }
    for (std::string_view line : headerLines) {
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view value = line.substr(colon + 1);
        if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
        result.headers.emplace_back(std::string(line.substr(0, colon)), std::string(value));
    }
    result.body = std::string(data.substr(bodyStart));
    return result;
}

std::string LocalPathForUrl(std::string_view url, std::string_view unpackFolder) {
    // A file address names the same file as its path.
    constexpr std::string_view kFileScheme = "file:///";
    if (StartsWith(url, kFileScheme)) url.remove_prefix(kFileScheme.size());
    std::string path(url);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    bool absolute = (!path.empty() && path.front() == '\\') || (path.size() >= 2 && path[1] == ':');
    if (absolute) return path;
    std::string joined(unpackFolder);
    if (!joined.empty() && joined.back() != '\\') joined += '\\';
    return joined + path;
}

}  // namespace kestrel
