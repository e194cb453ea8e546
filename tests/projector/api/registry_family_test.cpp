#include "projector/api/registry_family.h"

#include <gtest/gtest.h>

#include "tests/projector/api/fake_registry.h"
#include "tests/projector/api/family_call.h"

namespace kestrel {
namespace {

using test::B64;
using test::Text;

class RegistryFamilyTest : public ::testing::Test {
  protected:
    std::string Answer(std::string_view method, std::vector<std::string> args) {
        return test::FamilyAnswer(family, method, args);
    }
    std::string Open(const std::string& path, const std::string& root = "user") {
        std::string answer = Answer("open", {B64(path), B64(root)});
        if (answer.rfind("<number>", 0) != 0) return answer;
        return answer.substr(8, answer.find('<', 8) - 8);
    }
    test::FakeSystemRegistry::Values& Values(const std::string& path,
                                             RegistryRoot root = RegistryRoot::CurrentUser) {
        return registry.keys[{root, path}];
    }
    void Put(const std::string& name, RegistryValueType type, std::string data) {
        Values("SOFTWARE\\Game")[name] = {static_cast<std::uint32_t>(type), std::move(data)};
    }
    test::FakeSystemRegistry registry;
    RegistryFamily family{registry};
};

TEST_F(RegistryFamilyTest, OpenChoosesTheRootAndCountsIds) {
    std::string first = Open("MyGame\\Scores", "system");
    std::string second = Open("MyGame\\Scores", "SYSTEM");
    EXPECT_EQ(std::stoi(second), std::stoi(first) + 1);
    EXPECT_EQ(registry.keys.count({RegistryRoot::LocalMachine, "SOFTWARE\\MyGame\\Scores"}), 1u);
    EXPECT_EQ(registry.keys.count({RegistryRoot::CurrentUser, "SOFTWARE\\MyGame\\Scores"}), 1u);
    registry.refuseCreate = true;
    EXPECT_EQ(Open("Denied"), "") << "no key: an empty answer, no XML value";
    EXPECT_EQ(Answer("Open", {B64("x"), B64("user")}), "(none)");
}

TEST_F(RegistryFamilyTest, ValuesOfEveryTypeRoundTrip) {
    std::string id = Open("Game");
    EXPECT_EQ(Answer("setString", {id, B64("name"), B64("Ada")}), "<true/>");
    EXPECT_EQ(Values("SOFTWARE\\Game")["name"].data, std::string("Ada\0", 4));
    EXPECT_EQ(Answer("getString", {id, B64("name")}), Text("Ada"));
    EXPECT_EQ(Answer("setInteger", {id, B64("n"), "-7"}), "<true/>");
    EXPECT_EQ(Values("SOFTWARE\\Game")["n"].type, 4u);
    EXPECT_EQ(Answer("getInteger", {id, B64("n")}), "<number>-7</number>");
    EXPECT_EQ(Answer("setBoolean", {id, B64("b"), "True"}), "<true/>");
    EXPECT_EQ(Values("SOFTWARE\\Game")["b"].data, std::string("\1\0\0\0", 4));
    EXPECT_EQ(Answer("getBoolean", {id, B64("b")}), "<true/>");
    EXPECT_EQ(Answer("setBoolean", {id, B64("b"), "yes"}), "<true/>");
    EXPECT_EQ(Answer("getBoolean", {id, B64("b")}), "<false/>");
    EXPECT_EQ(Answer("setFloat", {id, B64("f"), "2.5"}), "<true/>");
    EXPECT_EQ(Values("SOFTWARE\\Game")["f"].type, 3u);
    EXPECT_EQ(Answer("getFloat", {id, B64("f")}), "<number>2.500000</number>");
    EXPECT_EQ(Answer("keyExists", {id, B64("f")}), "<true/>");
    EXPECT_EQ(Answer("keyExists", {id, B64("g")}), "<false/>");
    EXPECT_EQ(Answer("setString", {id, B64(""), B64("default")}), "<true/>");
    EXPECT_EQ(Answer("getString", {id, B64("")}), Text("default"));
}

TEST_F(RegistryFamilyTest, StringsOfAnyLengthReadBack) {
    std::string id = Open("Game");
    const std::string longText(70000, 'q');
    EXPECT_EQ(Answer("setString", {id, B64("long"), B64(longText)}), "<true/>");
    EXPECT_EQ(Answer("getString", {id, B64("long")}), Text(longText));
    // A value stored without its terminator still reads as exactly its bytes.
    Put("raw", RegistryValueType::String, "abc");
    EXPECT_EQ(Answer("getString", {id, B64("raw")}), Text("abc"));
    Put("empty", RegistryValueType::String, "");
    EXPECT_EQ(Answer("getString", {id, B64("empty")}), Text(""));
    Put("multi", RegistryValueType::MultiString, std::string("a\0b\0\0", 5));
    EXPECT_EQ(Answer("getString", {id, B64("multi")}), "<null/>");
    Put("number", RegistryValueType::Dword, std::string("A\0\0\0", 4));
    EXPECT_EQ(Answer("getString", {id, B64("number")}), Text("A"));
}

TEST_F(RegistryFamilyTest, ShortNumbersAreZeroFilledLongOnesRefused) {
    std::string id = Open("Game");
    const std::pair<std::string, std::string> integers[] = {
        {std::string("abc\0", 4), "<number>6513249</number>"},
        {std::string("\x05", 1), "<number>5</number>"},
        {std::string("\xFF\xFF", 2), "<number>65535</number>"},
        {"", "<number>0</number>"},
        {"abcde", "<null/>"},
        {std::string("abcd\0", 5), "<null/>"},
    };
    for (const auto& [bytes, answer] : integers) {
        Put("v", RegistryValueType::Binary, bytes);
        EXPECT_EQ(Answer("getInteger", {id, B64("v")}), answer) << bytes.size();
    }
    Put("v", RegistryValueType::Binary, std::string("\x01", 1));
    EXPECT_EQ(Answer("getBoolean", {id, B64("v")}), "<true/>");
    Put("v", RegistryValueType::Binary, std::string("\x00\x00\xF8\x3F", 4));
    EXPECT_EQ(Answer("getFloat", {id, B64("v")}), "<number>0.000000</number>");
    Put("v", RegistryValueType::Binary, std::string("\0\0\0\0\0\0\xF8\x3F", 8));
    EXPECT_EQ(Answer("getFloat", {id, B64("v")}), "<number>1.500000</number>");
    Put("v", RegistryValueType::Binary, std::string(9, '\0'));
    EXPECT_EQ(Answer("getFloat", {id, B64("v")}), "<null/>");
    Put("v", RegistryValueType::Binary, std::string("\0\0\0\0\0\0\xF0\x7F", 8));
    EXPECT_EQ(Answer("getFloat", {id, B64("v")}), "<number>inf</number>");
    Put("v", RegistryValueType::Binary, std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xEF\x7F", 8));
    EXPECT_EQ(Answer("getFloat", {id, B64("v")}).size(), 8u + 309 + 7 + 9) << "the whole number";
}

TEST_F(RegistryFamilyTest, UnknownAndClosedKeysFail) {
    std::string id = Open("Game");
    EXPECT_EQ(Answer("close", {id}), "<true/>");
    EXPECT_EQ(registry.openHandles, 0);
    EXPECT_EQ(Answer("close", {id}), "<false/>");
    for (const std::string& key : {id, std::string("0"), std::string("9999")}) {
        for (const char* getter : {"getString", "getInteger", "getBoolean", "getFloat"})
            EXPECT_EQ(Answer(getter, {key, B64("x")}), "<null/>") << getter;
        for (const char* setter : {"setString", "setInteger", "setBoolean", "setFloat"})
            EXPECT_EQ(Answer(setter, {key, B64("x"), "1"}), "<false/>") << setter;
        EXPECT_EQ(Answer("keyExists", {key, B64("x")}), "<false/>");
        EXPECT_EQ(Answer("deleteKey", {key, B64("x")}), "<false/>");
    }
    EXPECT_EQ(Answer("getString", {}), "<null/>");
}

TEST_F(RegistryFamilyTest, DeleteKeyRemovesTheOpenedKey) {
    std::string id = Open("Game\\Old");
    EXPECT_EQ(Answer("deleteKey", {id, B64("ignored")}), "<true/>");
    EXPECT_EQ(registry.keys.count({RegistryRoot::CurrentUser, "SOFTWARE\\Game\\Old"}), 0u);
}

TEST(RegistryLifetime, KeysCloseWhenTheFamilyGoes) {
    test::FakeSystemRegistry registry;
    {
        RegistryFamily family(registry);
        std::string path = B64("A"), root = B64("user");
        std::string_view args[] = {path, root};
        family.Call("open", ApiArguments(args, 2));
        family.Call("open", ApiArguments(args, 2));
        EXPECT_EQ(registry.openHandles, 2);
    }
    EXPECT_EQ(registry.openHandles, 0);
}

}  // namespace
}  // namespace kestrel
