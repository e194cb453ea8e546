// A tiny HTTP/1.0 server on 127.0.0.1 for tests: answers GET and POST from a
// thread of its own and records what it was sent.
#pragma once

#include <winsock2.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrel::e2e {

struct HttpRequest {
    std::string method, path, body;
    std::vector<std::pair<std::string, std::string>> headers;
};

class LoopbackHttpServer {
public:
    using Handler = std::function<std::string(const HttpRequest&)>;  // the response body

    explicit LoopbackHttpServer(Handler handler);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int port() const { return port_; }  // 0 when it could not listen
    std::vector<HttpRequest> requests();

private:
    void serve();
    void answer(SOCKET client);

    Handler handler_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<HttpRequest> requests_;
};

}  // namespace kestrel::e2e
