#include "projector/bridge/script_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

using Kind = ParsedScript::Kind;

struct CallCase {
    const char* script;
    const char* function;
    std::vector<std::string> arguments;
};

const CallCase kCalls[] = {
    {"try { __flash__toXML(Window.center()) ; } catch (e) { \"<undefined/>\"; }",
     "Window.center",
     {}},
    {"try { __flash__toXML(Window.getPosition(\"main\")) ; } catch (e) { \"<undefined/>\"; }",
     "Window.getPosition",
     {"main"}},
    {"try { __flash__toXML(Window.setPosition(\"main\",\"12\",\"34\")) ; }",
     "Window.setPosition",
     {"main", "12", "34"}},
    // Empty pieces are skipped; text between first and last quote stands as is.
    {"try { __flash__toXML(F.g(,\"a\",,\"b\\\"c\",)) ; }", "F.g", {"a", "b\\\"c"}},
    // Unquoted arguments (numbers, words) are taken trimmed; blank pieces skipped.
    {"try { __flash__toXML(F.g(1, true , \"x\", )) ; }", "F.g", {"1", "true", "x"}},
    // No closing parenthesis: the arguments run to the end of the text.
    {"try { __flash__toXML(F.g(\"a\"", "F.g", {"a"}},
    {"try { __flash__toXML(F.g(\"\")) ; }", "F.g", {""}},
};

TEST(ParseScript, CallsOutOfTheMovie) {
    for (const auto& c : kCalls) {
        ParsedScript parsed = ParseScript(c.script);
        ASSERT_EQ(parsed.kind, Kind::MovieCall) << c.script;
        EXPECT_EQ(parsed.call.function, c.function) << c.script;
        ASSERT_EQ(parsed.call.arguments.size(), c.arguments.size()) << c.script;
        for (size_t i = 0; i < c.arguments.size(); ++i)
            EXPECT_EQ(parsed.call.arguments[i], c.arguments[i]) << c.script;
    }
}

TEST(ParseScript, CallWithoutOpeningParenthesisFails) {
    EXPECT_EQ(ParseScript("try { __flash__toXML(Window.center").kind, Kind::Failed);
    EXPECT_EQ(ParseScript("try { __flash__toXML(").kind, Kind::Failed);
}

struct ReturnCase {
    std::string script;
    bool ok;
    std::string text;
};

TEST(ParseScript, ReturnedStrings) {
    const ReturnCase cases[] = {
        {"var __flash_temp = \"a\\\"b\";", true, "a\"b"},
        {"var __flash_temp = \"a\\\"b\"", false, ""},
        {"var __flash_temp = \"a\\\"b\" ;", false, ""},
        {"var __flash_temp = \"\";", true, ""},
        {"var __flash_temp = \"<string>x</string>\"; more", true, "<string>x</string>"},
        {"var __flash_temp = \"\\\\\\n\\r\\t\";", true, "\\\n\r\t"},
        {"var __flash_temp = \"\\\\\";", true, "\\"},
        {"var __flash_temp = \"a\\qb\";", false, ""},
        {"var __flash_temp = \"unterminated", false, ""},
        {"var __flash_temp = \"ends in backslash\\", false, ""},
        {"var __flash_temp = \"ends in escaped quote\\\"", false, ""},
        {std::string("var __flash_temp = \"nul\0byte\";", 30), true, std::string("nul\0byte", 8)},
    };
    for (const auto& c : cases) {
        ParsedScript parsed = ParseScript(c.script);
        EXPECT_EQ(parsed.kind, c.ok ? Kind::ReturnedString : Kind::Failed) << c.script;
        if (c.ok) {
            EXPECT_EQ(parsed.returnedText, c.text) << c.script;
        }
    }
}

TEST(ParseScript, OtherTextsEvaluateToNothing) {
    for (const char* script : {"", "alert(1)", "try { __flash__toxml(F.g())",
                               "var __flash_temp=\"x\";", " try { __flash__toXML(F.g())"}) {
        EXPECT_EQ(ParseScript(script).kind, Kind::Other) << script;
    }
}

TEST(ParseScriptCall, ReusesTheCallAndClearsOldArguments) {
    ScriptCall call;
    ASSERT_TRUE(ParseScriptCall("try { __flash__toXML(A.b(\"1\",\"2\"))", call));
    ASSERT_TRUE(ParseScriptCall("try { __flash__toXML(A.c())", call));
    EXPECT_EQ(call.function, "A.c");
    EXPECT_TRUE(call.arguments.empty());
    EXPECT_FALSE(ParseScriptCall("var __flash_temp = \"x\";", call));
}

}  // namespace
}  // namespace kestrel
