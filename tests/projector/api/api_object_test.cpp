#include "projector/api/api_object.h"

#include <gtest/gtest.h>

#include "projector/api/application_family.h"
#include "tests/projector/api/fake_windows.h"

namespace kestrel {
namespace {

// Records what it was asked to load.
class FakeLoader : public UrlLoader {
  public:
    std::vector<std::pair<std::string, std::optional<std::string>>> loads;
    std::optional<std::string> Load(std::string_view url, const std::string* post) override {
        loads.emplace_back(std::string(url),
                           post ? std::optional<std::string>(*post) : std::nullopt);
        if (url == "missing") return std::nullopt;
        return "data of " + std::string(url);
    }
};

class ApiObjectTest : public ::testing::Test {
  protected:
    ApiResult Call(std::string_view name, std::vector<std::string_view> args = {}) {
        return api.HostCall(name, args.data(), args.size());
    }
    test::FakeRegistry windows;
    test::FakeMovie movie;
    FakeLoader loader;
    ApiObject api{windows, movie, loader};
};

TEST_F(ApiObjectTest, GetUrlLoadsWithoutPostData) {
    EXPECT_EQ(Call(":getURL", {"data/a.xml"}).value_or("-"), "data of data/a.xml");
    EXPECT_FALSE(Call(":getURL", {"missing"}).has_value());
    ASSERT_EQ(loader.loads.size(), 2u);
    EXPECT_FALSE(loader.loads[0].second.has_value());
}

TEST_F(ApiObjectTest, PostSendsThePendingPostDataUntilReplaced) {
    EXPECT_EQ(Call(":post", {"http://h/0"}).value_or("-"), "data of http://h/0");
    EXPECT_EQ(Call(":postData", {std::string_view("A: 1\r\n\r\nx\0y", 12)}).value_or("-"), "");
    Call(":post", {"http://h/1"});
    Call(":post", {"http://h/2"});
    Call(":postData", {"\r\nsecond"});
    Call(":post", {"http://h/3"});
    ASSERT_EQ(loader.loads.size(), 4u);
    EXPECT_FALSE(loader.loads[0].second.has_value());
    EXPECT_EQ(loader.loads[1].second.value_or(""), std::string("A: 1\r\n\r\nx\0y", 12));
    EXPECT_EQ(loader.loads[2].second.value_or(""), std::string("A: 1\r\n\r\nx\0y", 12));
    EXPECT_EQ(loader.loads[3].second.value_or(""), "\r\nsecond");
}

TEST_F(ApiObjectTest, InternalNamesWithoutArgumentsOrUnknownGiveNoAnswer) {
    EXPECT_FALSE(Call(":getURL").has_value());
    EXPECT_FALSE(Call(":post").has_value());
    EXPECT_FALSE(Call(":postData").has_value());
    EXPECT_FALSE(Call(":other", {"x"}).has_value());
    EXPECT_TRUE(loader.loads.empty());
}

class CountingApplication : public ApplicationServices {
  public:
    std::string ProgramPath() override { return "C:\\app.exe"; }
    void Quit() override { ++quits; }
    int quits = 0;
};

TEST_F(ApiObjectTest, FsCommandQuitEndsTheProjectorLikeApplicationQuit) {
    CountingApplication application;
    api.Dispatcher().Install(ApiFamilyId::Application,
                             std::make_unique<ApplicationFamily>(application));
    EXPECT_EQ(Call(":fsCommand", {"quit", ""}).value_or("-"), "");
    EXPECT_EQ(Call(":fsCommand", {"QUIT", ""}).value_or("-"), "");
    EXPECT_EQ(application.quits, 2);
    // Other commands are not served.
    EXPECT_FALSE(Call(":fsCommand", {"fullscreen", "true"}).has_value());
    EXPECT_FALSE(Call(":fsCommand", {"quit2", ""}).has_value());
    EXPECT_FALSE(Call(":fsCommand").has_value());
    EXPECT_EQ(application.quits, 2);
}

TEST_F(ApiObjectTest, OnInitSendsEveryWindowFormThenThisWindowForm) {
    windows.definitions = {"main", "tools", "about"};
    EXPECT_FALSE(Call("Api.onInit").has_value());
    EXPECT_EQ(movie.calls,
              (std::vector<std::string>{"addWindowForm(main)", "addWindowForm(tools)",
                                        "addWindowForm(about)", "setThisWindowForm(WindowForm)"}));
    EXPECT_FALSE(Call("Api.onInit2").has_value());
    EXPECT_FALSE(Call("Api.oninit").has_value());
    EXPECT_EQ(movie.calls.size(), 4u);
}

TEST_F(ApiObjectTest, WindowCallsReachTheWindowFamily) {
    windows.Add("main").rect = {5, 6, 7, 8};
    EXPECT_EQ(Call("Window.getWidth", {"main"}).value_or("-"), "<number>7</number>");
    EXPECT_FALSE(Call("Clipboard.getText").has_value());
}

}  // namespace
}  // namespace kestrel
