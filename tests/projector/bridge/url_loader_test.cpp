#include "projector/bridge/url_loader.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace kestrel {
namespace {

struct RecordedFetch {
    std::string url;
    bool post = false;
    PostData data;
};

TEST(HostUrlLoader, HttpAddressesGoToTheFetcherWithSplitPostData) {
    std::vector<RecordedFetch> fetches;
    HostUrlLoader loader("unused", [&](const std::string& url, const PostData* data) {
        fetches.push_back({url, data != nullptr, data ? *data : PostData{}});
        return std::optional<std::string>("answer");
    });
    EXPECT_EQ(loader.Load("http://h/a", nullptr).value_or(""), "answer");
    std::string post = "Content-Type: text/plain\r\n\r\nbody";
    EXPECT_EQ(loader.Load("https://h/b", &post).value_or(""), "answer");
    ASSERT_EQ(fetches.size(), 2u);
    EXPECT_FALSE(fetches[0].post);
    EXPECT_TRUE(fetches[1].post);
    EXPECT_EQ(fetches[1].url, "https://h/b");
    ASSERT_EQ(fetches[1].data.headers.size(), 1u);
    EXPECT_EQ(fetches[1].data.headers[0].second, "text/plain");
    EXPECT_EQ(fetches[1].data.body, "body");
}

TEST(HostUrlLoader, FailedFetchGivesNoAnswer) {
    HostUrlLoader loader(
        "unused", [](const std::string&, const PostData*) { return std::optional<std::string>(); });
    EXPECT_FALSE(loader.Load("http://h/a", nullptr).has_value());
}

TEST(HostUrlLoader, MissingFileGivesNoAnswer) {
    HostUrlLoader loader("no-such-folder-kestrel", nullptr);
    EXPECT_FALSE(loader.Load("data/a.xml", nullptr).has_value());
}

TEST(ReadWholeFile, ReadsBinaryContent) {
    std::string path = ::testing::TempDir() + "kestrel_url_loader_test.bin";
    std::string content(200000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i % 251);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
    EXPECT_EQ(ReadWholeFile(path).value_or(""), content);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace kestrel
