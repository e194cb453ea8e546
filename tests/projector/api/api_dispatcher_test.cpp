#include "projector/api/api_dispatcher.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

// Answers its own prefix and the method it was called with.
class EchoFamily : public ApiFamily {
  public:
    explicit EchoFamily(std::string tag) : tag_(std::move(tag)) {}
    ApiResult Call(std::string_view method, const ApiArguments& args) override {
        return tag_ + ":" + std::string(method) + ":" + std::to_string(args.Count());
    }

  private:
    std::string tag_;
};

class ApiDispatcherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (std::size_t i = 0; i < kApiFamilyCount; ++i)
            dispatcher.Install(static_cast<ApiFamilyId>(i),
                               std::make_unique<EchoFamily>(kApiFamilyPrefixes[i]));
    }
    ApiResult Dispatch(std::string_view name) {
        std::string_view args[] = {"a", "b"};
        return dispatcher.Dispatch(name, ApiArguments(args, 2));
    }
    ApiDispatcher dispatcher;
};

TEST_F(ApiDispatcherTest, RoutesEveryPrefixToItsFamilyWithTheMethodName) {
    EXPECT_EQ(Dispatch("Application.getPath").value_or("-"), "Application.:getPath:2");
    EXPECT_EQ(Dispatch("Api.onInit").value_or("-"), "Api.:onInit:2");
    EXPECT_EQ(Dispatch("AppleScript.run").value_or("-"), "AppleScript.:run:2");
    EXPECT_EQ(Dispatch("DLL.call").value_or("-"), "DLL.:call:2");
    EXPECT_EQ(Dispatch("FileSystem.File.open").value_or("-"), "FileSystem.:File.open:2");
    EXPECT_EQ(Dispatch("Window.getPosition").value_or("-"), "Window.:getPosition:2");
    EXPECT_EQ(Dispatch("Window.").value_or("-"), "Window.::2");
}

TEST_F(ApiDispatcherTest, PrefixesAreCaseSensitiveAndExact) {
    for (const char* name : {"window.getSize", "Windows.getSize", "Window", "WINDOW.getSize", "",
                             ".getSize", "Dll.call", "Unknown.x"}) {
        EXPECT_FALSE(Dispatch(name).has_value()) << name;
    }
}

TEST(ApiDispatcher, FamiliesStartEmpty) {
    ApiDispatcher dispatcher;
    for (const char* prefix : kApiFamilyPrefixes) {
        std::string name = std::string(prefix) + "anything";
        EXPECT_FALSE(dispatcher.Dispatch(name, ApiArguments()).has_value()) << name;
    }
}

}  // namespace
}  // namespace kestrel
