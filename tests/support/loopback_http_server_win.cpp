#include <winsock2.h>
#include <ws2tcpip.h>

#include <cctype>
#include <cstdlib>

#include "tests/support/loopback_http_server.h"

namespace kestrel::test {
namespace {

SOCKET AsSocket(unsigned long long s) {
    return static_cast<SOCKET>(s);
}

bool SendAll(SOCKET s, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        int n = send(s, data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(s);
        return;
    }
    port_ = ntohs(address.sin_port);
    listener_ = static_cast<unsigned long long>(s);
    thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    if (listener_ != kNoSocket) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        closesocket(AsSocket(listener_));
        thread_.join();
    }
    WSACleanup();
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackHttpServer::SetResponse(const std::string& path, std::string body,
                                     std::string status) {
    std::lock_guard<std::mutex> lock(mutex_);
    responses_[path] = Response{std::move(status), std::move(body)};
}

void LoopbackHttpServer::SetHandler(Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(handler);
}

std::vector<ReceivedRequest> LoopbackHttpServer::Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::Serve() {
    for (;;) {
        SOCKET client = accept(AsSocket(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET) return;  // closed by the destructor
        HandleConnection(static_cast<unsigned long long>(client));
        closesocket(client);
    }
}

void LoopbackHttpServer::HandleConnection(unsigned long long clientHandle) {
    SOCKET client = AsSocket(clientHandle);
    std::string data;
    char buffer[65536];
    size_t headerEnd = std::string::npos;
    while (headerEnd == std::string::npos) {
        int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        data.append(buffer, static_cast<size_t>(n));
        headerEnd = data.find("\r\n\r\n");
    }

    ReceivedRequest request;
    std::string head = data.substr(0, headerEnd);
    size_t lineEnd = head.find("\r\n");
    std::string requestLine = head.substr(0, lineEnd);
    size_t space1 = requestLine.find(' ');
    size_t space2 = requestLine.find(' ', space1 + 1);
    request.method = requestLine.substr(0, space1);
    request.path = requestLine.substr(space1 + 1, space2 - space1 - 1);
    while (lineEnd != std::string::npos && lineEnd < head.size()) {
        size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        std::string line =
            head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        size_t value = line.find_first_not_of(' ', colon + 1);
        request.headers[Lower(line.substr(0, colon))] =
            value == std::string::npos ? "" : line.substr(value);
    }
    size_t contentLength = 0;
    auto lengthHeader = request.headers.find("content-length");
    if (lengthHeader != request.headers.end())
        contentLength = std::strtoul(lengthHeader->second.c_str(), nullptr, 10);
    request.body = data.substr(headerEnd + 4);
    while (request.body.size() < contentLength) {
        int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.body.append(buffer, static_cast<size_t>(n));
    }

    std::string status = "404 Not Found";
    std::string body;
    Handler handler;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        auto found = responses_.find(request.path);
        if (found != responses_.end()) {
            status = found->second.status;
            body = found->second.body;
        } else {
            handler = handler_;
        }
    }
    if (handler) {
        status = "200 OK";
        body = handler(request);
    }
    std::string reply = "HTTP/1.1 " + status + "\r\nContent-Type: application/octet-stream\r\n" +
                        "Content-Length: " + std::to_string(body.size()) +
                        "\r\nConnection: close\r\n\r\n";
    if (SendAll(client, reply)) SendAll(client, body);
    shutdown(client, SD_SEND);
}

}  // namespace kestrel::test
