#include "tests/projector/e2e/loopback_http_server_win.h"

#include <ws2tcpip.h>

#include <cstdlib>

namespace kestrel::e2e {

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // loopback only
    address.sin_port = 0;
    if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 8) != 0)
        return;
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    if (listener_ != INVALID_SOCKET) closesocket(listener_);  // ends accept()
    if (thread_.joinable()) thread_.join();
    WSACleanup();
}

std::vector<HttpRequest> LoopbackHttpServer::requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::serve() {
    for (;;) {
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        answer(client);
        closesocket(client);
    }
}

void LoopbackHttpServer::answer(SOCKET client) {
    std::string received;
    char chunk[4096];
    size_t headerEnd = std::string::npos;
    while (headerEnd == std::string::npos) {
        const int count = recv(client, chunk, sizeof chunk, 0);
        if (count <= 0) return;
        received.append(chunk, static_cast<size_t>(count));
        headerEnd = received.find("\r\n\r\n");
    }
    HttpRequest request;
    const std::string head = received.substr(0, headerEnd);
    size_t lineEnd = head.find("\r\n");
    const std::string first = head.substr(0, lineEnd);
    request.method = first.substr(0, first.find(' '));
    request.path = first.substr(first.find(' ') + 1, first.rfind(' ') - first.find(' ') - 1);
    size_t contentLength = 0;
    while (lineEnd != std::string::npos) {
        const size_t next = head.find("\r\n", lineEnd + 2);
        const std::string line = head.substr(lineEnd + 2, next == std::string::npos ? std::string::npos : next - lineEnd - 2);
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string value = line.substr(colon + 1);
            while (!value.empty() && value[0] == ' ') value.erase(0, 1);
            request.headers.emplace_back(line.substr(0, colon), value);
            if (_stricmp(line.substr(0, colon).c_str(), "Content-Length") == 0)
                contentLength = static_cast<size_t>(std::atoi(value.c_str()));
        }
        lineEnd = next;
    }
    request.body = received.substr(headerEnd + 4);
    while (request.body.size() < contentLength) {
        const int count = recv(client, chunk, sizeof chunk, 0);
        if (count <= 0) break;
        request.body.append(chunk, static_cast<size_t>(count));
    }
    const std::string body = handler_(request);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
    }
    const std::string response = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                 std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    size_t sent = 0;
    while (sent < response.size()) {
        const int count = send(client, response.data() + sent, static_cast<int>(response.size() - sent), 0);
        if (count <= 0) break;
        sent += static_cast<size_t>(count);
    }
    shutdown(client, SD_SEND);
}

}  // namespace kestrel::e2e
