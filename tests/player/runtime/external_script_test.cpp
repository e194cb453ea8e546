#include "player/runtime/external_script.h"

#include <gtest/gtest.h>

namespace kestrel::runtime {
namespace {

TEST(ExternalScript, CallOutWithoutArguments) {
    auto script = buildCallOutScript("<invoke name=\"Window.center\" returntype=\"xml\"></invoke>");
    ASSERT_TRUE(script);
    EXPECT_EQ(*script, "try { __flash__toXML(Window.center()) ; } catch (e) { \"<undefined/>\"; }");
}

TEST(ExternalScript, CallOutArgumentsBecomeScriptLiterals) {
    auto script = buildCallOutScript(
        "<invoke name=\"f\" returntype=\"xml\"><arguments><string>a\"b&amp;</string>"
        "<number>1.5</number><true/><null/><undefined/>"
        "<array><property id='0'><number>1</number></property></array>"
        "<object><property id='k'><string>v</string></property></object>"
        "</arguments></invoke>");
    ASSERT_TRUE(script);
    EXPECT_EQ(*script,
              "try { __flash__toXML(f(\"a\\\"b&\",1.5,true,null,undefined,[1],({\"k\":\"v\"}))) ; "
              "} catch (e) { \"<undefined/>\"; }");
}

TEST(ExternalScript, RefusesTextsThatAreNoInvoke) {
    EXPECT_FALSE(buildCallOutScript("<call name=\"f\"/>"));
    EXPECT_FALSE(buildCallOutScript("<invoke returntype=\"xml\"/>"));
    EXPECT_FALSE(buildCallOutScript("<invoke name=\"f\">"));
}

TEST(ExternalScript, ReadsTheBrowsersRequestForACallIn) {
    auto request = parseInvoke(
        "<invoke name=\"onWindowResize\" returntype=\"javascript\"><arguments><number>640</number>"
        "<number>480</number></arguments></invoke>");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->name, "onWindowResize");
    ASSERT_EQ(request->arguments.size(), 2u);
    EXPECT_EQ(request->arguments[1].name, "number");
    EXPECT_EQ(request->arguments[1].children[0].value, "480");
}

TEST(ExternalScript, ReturnedStringIsEscapedForTheBrowser) {
    EXPECT_EQ(buildReturnStringScript("a\"b\\c\nd\re\tf"),
              "var __flash_temp = \"a\\\"b\\\\c\\nd\\re\\tf\";");
    EXPECT_EQ(answerOrUndefined(std::nullopt), "<undefined/>");
    EXPECT_EQ(answerOrUndefined(std::string()), "<undefined/>");
    EXPECT_EQ(answerOrUndefined(std::string("<true/>")), "<true/>");
}

}  // namespace
}  // namespace kestrel::runtime
