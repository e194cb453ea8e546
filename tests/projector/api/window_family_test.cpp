#include "projector/api/window_family.h"

#include <gtest/gtest.h>

#include "tests/projector/api/fake_windows.h"

namespace kestrel {
namespace {

class WindowFamilyTest : public ::testing::Test {
  protected:
    ApiResult Call(std::string_view method, std::vector<std::string_view> args) {
        return family.Call(method, ApiArguments(args.data(), args.size()));
    }
    std::string Answer(std::string_view method, std::vector<std::string_view> args) {
        return Call(method, args).value_or("(none)");
    }
    test::FakeRegistry windows;
    test::FakeWindow& main = windows.Add("main");
    WindowFamily family{windows};
};

TEST_F(WindowFamilyTest, GettersOfAnOpenWindow) {
    main.rect = {-4, 33, 301, 99};
    EXPECT_EQ(Answer("getPosition", {"main"}),
              "<object><property id='x'><number>-4</number></property>"
              "<property id='y'><number>33</number></property></object>");
    EXPECT_EQ(Answer("getXPosition", {"main"}), "<number>-4</number>");
    EXPECT_EQ(Answer("getYPosition", {"main"}), "<number>33</number>");
    EXPECT_EQ(Answer("getSize", {"main"}),
              "<object><property id='w'><number>301</number></property>"
              "<property id='h'><number>99</number></property></object>");
    EXPECT_EQ(Answer("getWidth", {"main"}), "<number>301</number>");
    EXPECT_EQ(Answer("getHeight", {"main"}), "<number>99</number>");
    EXPECT_EQ(Answer("isVisible", {"main"}), "<true/>");
    EXPECT_EQ(Answer("isMaximized", {"main"}), "<false/>");
}

TEST_F(WindowFamilyTest, MethodsOnAnAbsentWindow) {
    const std::pair<const char*, const char*> cases[] = {
        {"getPosition",
         "<object><property id='x'><number>0</number></property>"
         "<property id='y'><number>0</number></property></object>"},
        {"getSize",
         "<object><property id='w'><number>0</number></property>"
         "<property id='h'><number>0</number></property></object>"},
        {"getXPosition", "<number>0</number>"},
        {"getHeight", "<number>0</number>"},
        {"isMaximized", "<false/>"},
        {"isMinimized", "<false/>"},
        {"isVisible", "<false/>"},
        {"getTitle", "(none)"},
        {"close", "(none)"},
        {"setPosition", "(none)"},
        {"getAlpha", "<number>1.00</number>"},
        {"setAlpha", "<false/>"},
        {"addMask", "<number>-1</number>"},
        {"removeMask", "<false/>"},
        {"setMask", "<false/>"},
        {"hideMask", "<false/>"},
    };
    for (const auto& [method, answer] : cases)
        EXPECT_EQ(Answer(method, {"Main", "1", "2"}), answer) << method;
}

TEST_F(WindowFamilyTest, UnknownMethodsGiveNoValue) {
    for (const char* method : {"foo", "GetSize", "getSize ", "", "getPositio"})
        EXPECT_EQ(Answer(method, {"main"}), "(none)") << method;
}

TEST_F(WindowFamilyTest, PositionAndSizeSetters) {
    Call("setXPosition", {"main", "12px"});
    EXPECT_EQ(main.rect.left, 12);
    Call("setXPosition", {"main", "px12"});
    EXPECT_EQ(main.rect.left, 0);
    Call("setYPosition", {"main", "-9"});
    EXPECT_EQ(main.rect.top, -9);
    Call("setPosition", {"main", "100", "200"});
    EXPECT_EQ(main.rect.left, 100);
    EXPECT_EQ(main.rect.top, 200);
    Call("setSize", {"main", "640", "480"});
    Call("setWidth", {"main", "641"});
    Call("setHeight", {"main", "481"});
    EXPECT_EQ(main.rect.width, 641);
    EXPECT_EQ(main.rect.height, 481);
    EXPECT_EQ(main.rect.left, 100);
    // Missing arguments read as empty text, that is 0.
    Call("setPosition", {"main"});
    EXPECT_EQ(main.rect.left, 0);
    EXPECT_EQ(main.rect.top, 0);
}

TEST_F(WindowFamilyTest, CenterHalvesRoundingDown) {
    main.rect = {0, 0, 301, 201};
    windows.screenWidth = 1024;
    windows.screenHeight = 768;
    EXPECT_EQ(Answer("center", {"main"}), "(none)");
    EXPECT_EQ(main.rect.left, 512 - 150);
    EXPECT_EQ(main.rect.top, 384 - 100);
    EXPECT_TRUE(main.repainted);
}

TEST_F(WindowFamilyTest, ShowReadsItsFlagWithoutCase) {
    Call("show", {"main", "yes"});
    EXPECT_FALSE(main.visible);
    Call("show", {"main", "TRUE"});
    EXPECT_TRUE(main.visible);
    Call("hide", {"main"});
    EXPECT_FALSE(main.visible);
    Call("show", {"main"});
    EXPECT_FALSE(main.visible);
}

TEST_F(WindowFamilyTest, TitleTravelsInBase64) {
    Call("setTitle", {"main", "YWJj"});
    EXPECT_EQ(main.title, "abc");
    EXPECT_EQ(Answer("getTitle", {"main"}), "<string>YWJj</string>");
}

// The window lookup and the actions on real windows are tested under Wine
// (tests/projector/app/skylet_window_api_test.cpp); here only what the family
// itself reads from its arguments.
TEST_F(WindowFamilyTest, FlagArgumentsReadWithoutCase) {
    Call("showFullScreen", {"main", "True"});
    EXPECT_TRUE(main.fullScreen);
    Call("showFullScreen", {"main", "on"});
    EXPECT_FALSE(main.fullScreen);
}

}  // namespace
}  // namespace kestrel
