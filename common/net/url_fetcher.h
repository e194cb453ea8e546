// A small synchronous HTTP client on the system's internet library. The
// projector fetches the plug-in's http(s) requests with it and the builder
// its update check. Windows only.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace kestrel {

constexpr char kFetcherUserAgent[] = "RuzoVUR/1.0";
// Read size of one chunk, and the slack added whenever the response grows.
constexpr std::size_t kFetchChunkSize = 1024000;

class UrlFetcher {
  public:
    enum class Method { Get = 0, Post = 1 };

    UrlFetcher(std::string address, Method method);
    UrlFetcher(const UrlFetcher&) = delete;
    UrlFetcher& operator=(const UrlFetcher&) = delete;

    // Headers are sent with POST only, in the order added.
    void AddHeader(std::string name, std::string value);
    // The body is not copied: it must outlive Run().
    void SetBody(const void* data, std::size_t length);

    // A GET whose body grows beyond this many bytes fails.
    void SetMaxResponseSize(std::size_t bytes) { maxResponseSize_ = bytes; }

    // True when at least one byte of response body arrived.
    bool Run();

    const std::vector<char>& Response() const { return response_; }
    // The HTTP status of the last GET; 0 when there was none.
    int StatusCode() const { return statusCode_; }

  private:
    bool RunGet();
    bool RunPost();
    void Append(const char* data, std::size_t length);

    std::string address_;
    Method method_;
    std::vector<std::pair<std::string, std::string>> headers_;
    const void* body_ = nullptr;  // not owned
    std::size_t bodyLength_ = 0;
    std::vector<char> response_;
    std::size_t maxResponseSize_ = static_cast<std::size_t>(-1);
    int statusCode_ = 0;
};

constexpr char kConnectionTestAddress[] = "http://www.example.com/";
// Each step of the connection test (connect, send, receive) gives up after this.
constexpr unsigned long kConnectionTestTimeoutMs = 4000;

enum class Connectivity { Online, Offline };

// Whether the machine can reach the internet. Only a time-out (each step gives
// up after kConnectionTestTimeoutMs), an unresolved name or a refused or
// aborted connection when opening the test address count as off line; an
// HTTP error page is still on line.
Connectivity TestConnection(const char* testAddress = kConnectionTestAddress);

}  // namespace kestrel
