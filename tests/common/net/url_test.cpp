#include "common/net/url.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct SplitCase {
    const char* url;
    bool secure;
    const char* host;
    int port;
    const char* path;
};

const SplitCase kSplits[] = {
    {"http://example.com/a/b", false, "example.com", 80, "/a/b"},
    {"https://example.com/a/b", true, "example.com", 443, "/a/b"},
    {"http://example.com", false, "example.com", 80, "/"},
    {"https://example.com", true, "example.com", 443, "/"},
    {"http://127.0.0.1:8080/x", false, "127.0.0.1", 8080, "/x"},
    {"https://host:8443/", true, "host", 8443, "/"},
    {"http://host/p?q=1&r=/2", false, "host", 80, "/p?q=1&r=/2"},
    {"http://host?q=1", false, "host", 80, "/?q=1"},
    {"http://host/p#frag", false, "host", 80, "/p"},
    {"http://user:pw@host:81/p", false, "host", 81, "/p"},
    {"http://[::1]:8080/v6", false, "::1", 8080, "/v6"},
    {"http://host:/p", false, "host", 80, "/p"},
    {"example.com/a", false, "example.com", 80, "/a"},
};

TEST(SplitUrl, GivesHostPortAndObjectPath) {
    for (const auto& c : kSplits) {
        auto parts = SplitUrl(c.url);
        ASSERT_TRUE(parts.has_value()) << c.url;
        EXPECT_EQ(parts->secure, c.secure) << c.url;
        EXPECT_EQ(parts->host, c.host) << c.url;
        EXPECT_EQ(parts->port, c.port) << c.url;
        EXPECT_EQ(parts->objectPath, c.path) << c.url;
    }
}

TEST(SplitUrl, RejectsMissingHostAndBadPorts) {
    for (const char* url : {"http://", "http:///path", "http://host:0/", "http://host:65536/",
                            "http://host:8x/", "http://[::1/", "http://:80/"}) {
        EXPECT_FALSE(SplitUrl(url).has_value()) << url;
    }
}

TEST(IsHttpUrl, AcceptsOnlyTheTwoSchemesExactly) {
    EXPECT_TRUE(IsHttpUrl("http://a"));
    EXPECT_TRUE(IsHttpUrl("https://a"));
    EXPECT_FALSE(IsHttpUrl("HTTP://a"));
    EXPECT_FALSE(IsHttpUrl("ftp://a"));
    EXPECT_FALSE(IsHttpUrl("data/a.xml"));
}

TEST(SplitPostData, HeadersUpToTheEmptyLineThenTheBody) {
    PostData data = SplitPostData(
        "Content-Type: application/x-www-form-urlencoded\r\n"
        "X-Two:no-space\r\n"
        "garbage line\r\n"
        "X-Colon: a: b\r\n"
        "\r\n"
        "a=1&b=2\r\n\r\nmore");
    ASSERT_EQ(data.headers.size(), 3u);
    EXPECT_EQ(data.headers[0].first, "Content-Type");
    EXPECT_EQ(data.headers[0].second, "application/x-www-form-urlencoded");
    EXPECT_EQ(data.headers[1].first, "X-Two");
    EXPECT_EQ(data.headers[1].second, "no-space");
    EXPECT_EQ(data.headers[2].first, "X-Colon");
    EXPECT_EQ(data.headers[2].second, "a: b");
    EXPECT_EQ(data.body, "a=1&b=2\r\n\r\nmore");
}

TEST(SplitPostData, AcceptsBareLineFeeds) {
    PostData data = SplitPostData("A: 1\nB: 2\n\nbody");
    ASSERT_EQ(data.headers.size(), 2u);
    EXPECT_EQ(data.headers[1].second, "2");
    EXPECT_EQ(data.body, "body");
}

TEST(SplitPostData, LeadingEmptyLineMeansNoHeaders) {
    PostData data = SplitPostData("\r\nx=1");
    EXPECT_TRUE(data.headers.empty());
    EXPECT_EQ(data.body, "x=1");
}

TEST(SplitPostData, DataWithoutEmptyLineIsAllBody) {
    PostData data = SplitPostData("x=1&y=2");
    EXPECT_TRUE(data.headers.empty());
    EXPECT_EQ(data.body, "x=1&y=2");
}

TEST(LocalPathForUrl, SlashesBecomeBackslashesAndRelativePathsJoinTheUnpackFolder) {
    EXPECT_EQ(LocalPathForUrl("data/a.xml", "C:\\T\\lkskso_1"), "C:\\T\\lkskso_1\\data\\a.xml");
    EXPECT_EQ(LocalPathForUrl("data\\a.xml", "C:\\T\\lkskso_1\\"), "C:\\T\\lkskso_1\\data\\a.xml");
    EXPECT_EQ(LocalPathForUrl("D:/x/y.txt", "C:\\T"), "D:\\x\\y.txt");
    EXPECT_EQ(LocalPathForUrl("/x/y.txt", "C:\\T"), "\\x\\y.txt");
    EXPECT_EQ(LocalPathForUrl("file:///C:/a", "C:\\T"), "C:\\a");
    EXPECT_EQ(LocalPathForUrl("file:///data/a.xml", "C:\\T"), "C:\\T\\data\\a.xml");
}

}  // namespace
}  // namespace kestrel
