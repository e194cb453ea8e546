#include <windows.h>
#include <wininet.h>

#include "common/net/url.h"
#include "common/net/url_fetcher.h"
#include "common/win_handles.h"

namespace kestrel {
namespace {

InternetHandle OpenSession() {
    return InternetHandle(
        InternetOpenA(kFetcherUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
}

// No cache write, forms submit, pragma no-cache.
constexpr DWORD kPostRequestFlags = 0x04200100;
constexpr DWORD kAddOrReplace = HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE;
constexpr DWORD kInitialHeaderBuffer = 102400;

// The response headers are read to finish the exchange; nothing uses them.
void ReadAndDiscardHeaders(HINTERNET request) {
    std::vector<char> buffer(kInitialHeaderBuffer);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        if (HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &size, nullptr))
            return;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size()) return;
        buffer.resize(size);
    }
}

}  // namespace

UrlFetcher::UrlFetcher(std::string address, Method method)
    : address_(std::move(address)), method_(method) {}

void UrlFetcher::AddHeader(std::string name, std::string value) {
    headers_.emplace_back(std::move(name), std::move(value));
}

void UrlFetcher::SetBody(const void* data, std::size_t length) {
    body_ = data;
    bodyLength_ = length;
}

bool UrlFetcher::Run() {
    switch (method_) {
        case Method::Get:
            return RunGet();
        case Method::Post:
            return RunPost();
    }
    return false;
}

void UrlFetcher::Append(const char* data, std::size_t length) {
    if (response_.size() + length > response_.capacity())
        response_.reserve(response_.size() + length + kFetchChunkSize);
    response_.insert(response_.end(), data, data + length);
}

bool UrlFetcher::RunGet() {
    response_.clear();
    statusCode_ = 0;
    InternetHandle session = OpenSession();
    if (!session) return false;
    InternetHandle url(
        InternetOpenUrlA(session.get(), address_.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0));
    if (!url) return false;
    DWORD status = 0;
    DWORD statusSize = sizeof(status);
    if (HttpQueryInfoA(url.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                       &statusSize, nullptr))
        statusCode_ = static_cast<int>(status);

    std::vector<char> chunk(kFetchChunkSize);
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(url.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read) ||
            read == 0)
            break;
        Append(chunk.data(), read);
        if (response_.size() > maxResponseSize_) return false;
    }
    return !response_.empty();
}

bool UrlFetcher::RunPost() {
    response_.clear();
    auto parts = SplitUrl(address_);
    if (!parts) return false;
    InternetHandle session = OpenSession();
    if (!session) return false;
    InternetHandle connection(InternetConnectA(session.get(), parts->host.c_str(), parts->port,
                                               nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return false;
    DWORD flags = kPostRequestFlags;
    if (parts->secure) flags |= INTERNET_FLAG_SECURE;
    InternetHandle request(HttpOpenRequestA(connection.get(), "POST", parts->objectPath.c_str(),
                                            "HTTP/1.1", nullptr, nullptr, flags, 0));
    if (!request) return false;

    for (const auto& [name, value] : headers_) {
        std::string line = name + ": " + value + "\r";
        HttpAddRequestHeadersA(request.get(), line.c_str(), static_cast<DWORD>(line.size()),
                               kAddOrReplace);
    }
    if (!HttpSendRequestA(request.get(), nullptr, 0, const_cast<void*>(body_),
                          static_cast<DWORD>(bodyLength_)))
        return false;

    ReadAndDiscardHeaders(request.get());

    std::vector<char> scratch;
    for (;;) {
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request.get(), &available, 0, 0) || available == 0) break;
        if (available + 1 > scratch.size()) scratch.resize(available + 1);
        DWORD read = 0;
        if (!InternetReadFile(request.get(), scratch.data(), available, &read) || read == 0) break;
        Append(scratch.data(), read);
    }
    return !response_.empty();
}

Connectivity TestConnection(const char* testAddress) {
    DWORD state = 0;
    if (!InternetGetConnectedState(&state, 0)) return Connectivity::Offline;
    InternetHandle session = OpenSession();
    if (!session) return Connectivity::Online;

    char host[256] = {};
    char path[2048] = {};
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    if (!InternetCrackUrlA(testAddress, 0, 0, &parts)) return Connectivity::Online;
    InternetHandle connection(InternetConnectA(session.get(), host, parts.nPort, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return Connectivity::Online;
    InternetHandle request(
        HttpOpenRequestA(connection.get(), "GET", path[0] ? path : "/", nullptr, nullptr, nullptr,
                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request) return Connectivity::Online;
    // The caller waits (the projector's window does not paint meanwhile), so
    // a dead network must answer within seconds, not the library's minutes.
    // Set on the request itself: not every library passes a session's
    // time-outs on.
    for (HINTERNET handle : {session.get(), request.get()}) {
        for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT}) {
            DWORD milliseconds = kConnectionTestTimeoutMs;
            InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
        }
        DWORD oneTry = 1;
        InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_RETRIES, &oneTry, sizeof oneTry);
    }
    if (HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return Connectivity::Online;
    switch (GetLastError()) {
        case ERROR_INTERNET_TIMEOUT:
        case ERROR_INTERNET_NAME_NOT_RESOLVED:
        case ERROR_INTERNET_CANNOT_CONNECT:
        // Some libraries report a receive time-out as an aborted connection.
        case ERROR_INTERNET_CONNECTION_ABORTED:
            return Connectivity::Offline;
        default:
            return Connectivity::Online;
    }
}

}  // namespace kestrel
