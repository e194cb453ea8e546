#include "common/net/url_fetcher.h"

#include <gtest/gtest.h>
#include <winsock2.h>

#include <string>

#include "tests/support/loopback_http_server.h"

namespace kestrel {
namespace {

std::string AsText(const std::vector<char>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class UrlFetcherTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.Listening()); }
    test::LoopbackHttpServer server;
};

TEST_F(UrlFetcherTest, GetReturnsTheBodyWithThePortFromTheUrl) {
    server.SetResponse("/hello.txt", "hello, world");
    UrlFetcher fetcher(server.Url("/hello.txt"), UrlFetcher::Method::Get);
    ASSERT_TRUE(fetcher.Run());
    EXPECT_EQ(AsText(fetcher.Response()), "hello, world");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].headers["user-agent"], kFetcherUserAgent);
}

TEST_F(UrlFetcherTest, GetOfAnEmptyDocumentAnswersFalseAndLeavesNothing) {
    server.SetResponse("/empty", "");
    UrlFetcher fetcher(server.Url("/empty"), UrlFetcher::Method::Get);
    EXPECT_FALSE(fetcher.Run());
    EXPECT_TRUE(fetcher.Response().empty());
}

TEST_F(UrlFetcherTest, ResponsesLargerThanOneChunkArriveWhole) {
    std::string big(kFetchChunkSize * 2 + 12345, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 1000);
    server.SetResponse("/big", big);
    for (auto method : {UrlFetcher::Method::Get, UrlFetcher::Method::Post}) {
        UrlFetcher fetcher(server.Url("/big"), method);
        ASSERT_TRUE(fetcher.Run());
        EXPECT_TRUE(AsText(fetcher.Response()) == big) << "size " << fetcher.Response().size();
    }
}

TEST_F(UrlFetcherTest, PostSendsHeadersAndBodyExactlyToTheUrlsPortAndPath) {
    server.SetResponse("/a/b?x=1", "posted");
    const std::string body = std::string("name=value&bin=\x01\x02", 17) + "\r\n\r\nend";
    UrlFetcher fetcher(server.Url("/a/b?x=1"), UrlFetcher::Method::Post);
    fetcher.AddHeader("Content-Type", "application/x-www-form-urlencoded");
    fetcher.AddHeader("X-Kestrel-Test", "one two");
    fetcher.SetBody(body.data(), body.size());
    ASSERT_TRUE(fetcher.Run());
    EXPECT_EQ(AsText(fetcher.Response()), "posted");

    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].path, "/a/b?x=1");
    EXPECT_EQ(requests[0].headers["content-type"], "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[0].headers["x-kestrel-test"], "one two");
    EXPECT_EQ(requests[0].body, body);
}

TEST_F(UrlFetcherTest, PostToABareHostUsesTheRootPath) {
    server.SetResponse("/", "root");
    UrlFetcher fetcher("127.0.0.1:" + std::to_string(server.Port()), UrlFetcher::Method::Post);
    ASSERT_TRUE(fetcher.Run());
    EXPECT_EQ(AsText(fetcher.Response()), "root");
}

TEST_F(UrlFetcherTest, ErrorPageWithoutBodyAnswersFalse) {
    UrlFetcher fetcher(server.Url("/missing"), UrlFetcher::Method::Get);
    EXPECT_FALSE(fetcher.Run());
}

TEST_F(UrlFetcherTest, GetReportsTheStatusOfAnErrorPageWithABody) {
    server.SetResponse("/ok", "1.2");
    server.SetResponse("/missing", "<html>not here</html>", "404 Not Found");
    UrlFetcher ok(server.Url("/ok"), UrlFetcher::Method::Get);
    ASSERT_TRUE(ok.Run());
    EXPECT_EQ(ok.StatusCode(), 200);
    UrlFetcher missing(server.Url("/missing"), UrlFetcher::Method::Get);
    ASSERT_TRUE(missing.Run());
    EXPECT_EQ(missing.StatusCode(), 404);
}

TEST_F(UrlFetcherTest, GetFailsWhenTheBodyGrowsBeyondTheCap) {
    server.SetResponse("/big", std::string(100, 'x'));
    UrlFetcher capped(server.Url("/big"), UrlFetcher::Method::Get);
    capped.SetMaxResponseSize(99);
    EXPECT_FALSE(capped.Run());
    UrlFetcher fits(server.Url("/big"), UrlFetcher::Method::Get);
    fits.SetMaxResponseSize(100);
    EXPECT_TRUE(fits.Run());
}

TEST_F(UrlFetcherTest, ConnectionTestCountsOnlyNetworkErrorsAsOffline) {
    // A 404 page is still a reachable network.
    EXPECT_EQ(TestConnection(server.Url("/missing").c_str()), Connectivity::Online);
    // Port 1 on loopback refuses the connection.
    EXPECT_EQ(TestConnection("http://127.0.0.1:1/"), Connectivity::Offline);
}

// A listener that never answers: connections complete, requests go unread.
class SilentListener {
  public:
    SilentListener() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            listen(socket_, 4) == 0 &&
            getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~SilentListener() {
        closesocket(socket_);
        WSACleanup();
    }
    int Port() const { return port_; }

  private:
    SOCKET socket_ = INVALID_SOCKET;
    int port_ = 0;
};

TEST(ConnectionTest, ASilentServerCountsAsOfflineWithinSeconds) {
    SilentListener silent;
    ASSERT_NE(silent.Port(), 0);
    const std::string address = "http://127.0.0.1:" + std::to_string(silent.Port()) + "/";
    const DWORD start = GetTickCount();
    EXPECT_EQ(TestConnection(address.c_str()), Connectivity::Offline);
    // One time-out, with room for a slow machine; the library's own default is minutes.
    EXPECT_LT(GetTickCount() - start, 3 * kConnectionTestTimeoutMs);
}

}  // namespace
}  // namespace kestrel
