#include "builder/update_check.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

struct AnswerCase {
    std::string body;
    bool parsed;
    Version version;
    bool newer;
};

TEST(UpdateCheckTest, AnswersParseAndCompareWithTheRunningVersion) {
    const AnswerCase cases[] = {
        {"1.1", true, {1, 1}, false},
        {"1.2", true, {1, 2}, true},
        {"2.0", true, {2, 0}, true},
        {"0.9", true, {0, 9}, false},
        {"1.1.5", true, {1, 1}, false},
        {"v1.x2", true, {0, 0}, false},
        {" 1. 3\r\n", true, {1, 3}, true},
        {"1..2", true, {1, 2}, true},
        {"99999999999.1", true, {2147483647, 1}, true},
        {"2", false, {}, false},
        {"2.", false, {}, false},
        {"", false, {}, false},
        {std::string("1\0.2", 4), false, {}, false},
        {std::string(kMaxUpdateAnswerBytes, '1') + ".2", false, {}, false},
    };
    for (const AnswerCase& c : cases) {
        std::optional<Version> version = ParseUpdateAnswer(c.body.data(), c.body.size());
        ASSERT_EQ(version.has_value(), c.parsed) << c.body;
        if (!version) continue;
        EXPECT_EQ(version->major, c.version.major) << c.body;
        EXPECT_EQ(version->minor, c.version.minor) << c.body;
        EXPECT_EQ(IsNewer(*version, kRunningVersion), c.newer) << c.body;
    }
    EXPECT_EQ(ClassifyUpdate(std::nullopt), UpdateOutcome::Failed);
    EXPECT_EQ(ClassifyUpdate(Version{1, 1}), UpdateOutcome::UpToDate);
    EXPECT_EQ(ClassifyUpdate(Version{1, 2}), UpdateOutcome::NewerAvailable);
}

TEST(UpdateCheckTest, TheQueryAddressCarriesTheProductCode) {
    EXPECT_EQ(UpdateQueryAddress("https://updates.example", kProductNumber),
              "https://updates.example/swupdate/swvers.php?pcd=7961");
    EXPECT_EQ(UpdateQueryAddress("http://127.0.0.1:8080/", kProductNumber),
              "http://127.0.0.1:8080/swupdate/swvers.php?pcd=7961");
}

TEST(UpdateCheckTest, ARegistryValueOverridesTheServerOverHttps) {
    MemoryRegistryStore store;
    EXPECT_EQ(UpdateServerAddress(store), kUpdateServerAddress);
    EXPECT_EQ(std::string(kUpdateServerAddress).rfind("https://", 0), 0u);
    WriteString(store, kUpdateServerValueName, "");
    EXPECT_EQ(UpdateServerAddress(store), kUpdateServerAddress);
    WriteString(store, kUpdateServerValueName, "http://127.0.0.1:9000");
    EXPECT_EQ(UpdateServerAddress(store), "http://127.0.0.1:9000");
}

}  // namespace
}  // namespace kestrel
