// A tiny HTTP/1.1 server on 127.0.0.1 for tests that fetch: one thread, one
// connection at a time, "Connection: close". It records what arrived and
// answers each path with a body the test set up, or asks the test's handler.
// Windows only (Winsock).
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrel::test {

struct ReceivedRequest {
    std::string method;
    std::string path;
    std::map<std::string, std::string> headers;  // names lower-cased
    std::string body;
};

class LoopbackHttpServer {
  public:
    LoopbackHttpServer();  // listens on an ephemeral port
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool Listening() const { return listener_ != kNoSocket; }
    int Port() const { return port_; }
    std::string Url(const std::string& path) const;

    // Unknown paths answer 404 with an empty body. `status` is the status
    // line's code and reason, for tests of error pages that carry a body.
    void SetResponse(const std::string& path, std::string body, std::string status = "200 OK");
    // Answers every request that no SetResponse path matches (200 with the
    // returned body). Runs on the server's thread.
    using Handler = std::function<std::string(const ReceivedRequest&)>;
    void SetHandler(Handler handler);
    std::vector<ReceivedRequest> Requests();

  private:
    static constexpr unsigned long long kNoSocket = ~0ull;
    void Serve();
    void HandleConnection(unsigned long long client);

    unsigned long long listener_ = kNoSocket;
    int port_ = 0;
    bool stopping_ = false;
    std::mutex mutex_;
    struct Response {
        std::string status;
        std::string body;
    };
    std::map<std::string, Response> responses_;
    Handler handler_;
    std::vector<ReceivedRequest> requests_;
    std::thread thread_;
};

}  // namespace kestrel::test
