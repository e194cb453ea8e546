#include "projector/bridge/script_bridge.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "projector/bridge/identifier_table.h"

namespace kestrel {
namespace {

std::string Text(const NPVariant& value) {
    EXPECT_EQ(value.type, NPVariantType_String);
    if (value.type != NPVariantType_String) return "";
    return std::string(value.value.stringValue.UTF8Characters, value.value.stringValue.UTF8Length);
}

NPVariant StringArg(const char* text) {
    NPVariant value;
    value.type = NPVariantType_String;
    value.value.stringValue.UTF8Characters = text;
    value.value.stringValue.UTF8Length = static_cast<uint32_t>(std::strlen(text));
    return value;
}

NPIdentifier Id(const char* name) {
    return BridgeGetStringIdentifier(name);
}

// The window side: records calls and answers from a table.
class FakeHost : public ScriptHost {
  public:
    std::vector<std::string> calls;
    std::optional<std::string> answer = "<true/>";
    std::optional<std::string> CallHost(std::string_view name, const std::string_view* args,
                                        std::size_t count) override {
        std::string call(name);
        for (std::size_t i = 0; i < count; ++i) call += "|" + std::string(args[i]);
        calls.push_back(call);
        return answer;
    }
    std::string MovieLocation() const override { return "C:\\Temp\\lkskso_1\\movie.swf"; }
};

FakeHost* g_host = nullptr;
NPP_t g_npp{};

class ScriptBridgeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_host = &host;
        SetScriptHostLookup(
            [](NPP npp) -> ScriptHost* { return npp == &g_npp ? g_host : nullptr; });
        window = BridgeWindowObject();
    }
    void TearDown() override {
        BridgeReleaseObject(window);
        SetScriptHostLookup(nullptr);
        g_host = nullptr;
    }
    bool Evaluate(const std::string& script, NPVariant* result, NPP npp = &g_npp) {
        NPString text{script.data(), static_cast<uint32_t>(script.size())};
        return BridgeEvaluate(npp, window, &text, result);
    }
    FakeHost host;
    NPObject* window = nullptr;
};

TEST_F(ScriptBridgeTest, EvaluatedCallsReachTheHostAndAnswerItsText) {
    NPVariant result;
    ASSERT_TRUE(
        Evaluate("try { __flash__toXML(Window.getPosition(\"main\",\"x\")) ; } catch (e) { "
                 "\"<undefined/>\"; }",
                 &result));
    EXPECT_EQ(Text(result), "<true/>");
    BridgeReleaseVariantValue(&result);
    EXPECT_EQ(result.type, NPVariantType_Void);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0], "Window.getPosition|main|x");

    ASSERT_TRUE(Evaluate("try { __flash__toXML(Window.center()) ; }", &result));
    BridgeReleaseVariantValue(&result);
    EXPECT_EQ(host.calls[1], "Window.center");
}

TEST_F(ScriptBridgeTest, CallsWithoutAnswerOrHostFail) {
    NPVariant result;
    host.answer.reset();
    EXPECT_FALSE(Evaluate("try { __flash__toXML(Window.foo()) ; }", &result));
    host.answer = "<null/>";
    NPP_t stranger{};
    EXPECT_FALSE(Evaluate("try { __flash__toXML(Window.foo()) ; }", &result, &stranger));
    EXPECT_FALSE(Evaluate("try { __flash__toXML(Window.foo", &result));
}

TEST_F(ScriptBridgeTest, ReturnedStringsAndOtherTexts) {
    NPVariant result;
    ASSERT_TRUE(Evaluate("var __flash_temp = \"a\\\"b\";", &result));
    EXPECT_EQ(Text(result), "a\"b");
    BridgeReleaseVariantValue(&result);
    EXPECT_FALSE(Evaluate("var __flash_temp = \"a\\\"b\"", &result));
    ASSERT_TRUE(Evaluate("window.focus()", &result));
    EXPECT_EQ(result.type, NPVariantType_Void);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(ScriptBridgeTest, WindowProperties) {
    NPVariant result;
    ASSERT_TRUE(BridgeGetProperty(&g_npp, window, Id("location"), &result));
    EXPECT_EQ(Text(result), "zeze");
    BridgeReleaseVariantValue(&result);
    ASSERT_TRUE(BridgeGetProperty(&g_npp, window, Id("__flash_getWindowLocation"), &result));
    EXPECT_EQ(Text(result), "");
    BridgeReleaseVariantValue(&result);
    ASSERT_TRUE(BridgeGetProperty(&g_npp, window, Id("top"), &result));
    ASSERT_EQ(result.type, NPVariantType_Object);
    NPObject* top = result.value.objectValue;
    EXPECT_TRUE(IsBrowserObject(top));
    EXPECT_FALSE(BridgeGetProperty(&g_npp, top, Id("location"), &result));
    EXPECT_FALSE(BridgeGetProperty(&g_npp, window, Id("document"), &result));
    NPVariant topValue;
    topValue.type = NPVariantType_Object;
    topValue.value.objectValue = top;
    BridgeReleaseVariantValue(&topValue);
}

TEST_F(ScriptBridgeTest, LocationObjects) {
    NPVariant result;
    ASSERT_TRUE(BridgeInvoke(&g_npp, window, Id("__flash_getWindowLocation"), nullptr, 0, &result));
    NPObject* windowLocation = result.value.objectValue;
    ASSERT_TRUE(BridgeInvoke(&g_npp, window, Id("__flash_getTopLocation"), nullptr, 0, &result));
    NPObject* topLocation = result.value.objectValue;

    ASSERT_TRUE(BridgeInvoke(&g_npp, windowLocation, Id("toString"), nullptr, 0, &result));
    EXPECT_EQ(Text(result), "C:/Temp/lkskso_1/movie.swf");
    BridgeReleaseVariantValue(&result);
    ASSERT_TRUE(BridgeInvoke(&g_npp, topLocation, Id("toString"), nullptr, 0, &result));
    EXPECT_EQ(Text(result), "chrome://global/content/console.xul");
    BridgeReleaseVariantValue(&result);
    ASSERT_TRUE(BridgeInvoke(&g_npp, topLocation, Id("reload"), nullptr, 0, &result));
    EXPECT_EQ(result.type, NPVariantType_Void);

    // Releasing past zero never frees an object of the browser (freeing a
    // static would crash) and its count stops at zero instead of wrapping.
    const uint32_t held = windowLocation->referenceCount;
    ASSERT_GE(held, 1u);
    for (uint32_t i = 0; i < held + 2; ++i) BridgeReleaseObject(windowLocation);
    BridgeReleaseObject(topLocation);
    EXPECT_EQ(windowLocation->referenceCount, 0u);
    ASSERT_TRUE(BridgeInvoke(&g_npp, windowLocation, Id("toString"), nullptr, 0, &result));
    EXPECT_EQ(Text(result), "C:/Temp/lkskso_1/movie.swf") << "the object still answers";
    BridgeReleaseVariantValue(&result);
    EXPECT_EQ(BridgeRetainObject(windowLocation)->referenceCount, 1u);
    BridgeReleaseObject(windowLocation);
}

TEST_F(ScriptBridgeTest, FlashRequestBuildsTheInvokeElement) {
    NPVariant args[4] = {StringArg("f"), {}, {}, StringArg("x")};
    args[1].type = NPVariantType_Int32;
    args[1].value.intValue = 7;
    args[2].type = NPVariantType_Bool;
    args[2].value.boolValue = true;
    NPVariant result;
    ASSERT_TRUE(BridgeInvoke(&g_npp, window, Id("__flash__request"), args, 4, &result));
    EXPECT_EQ(Text(result),
              "<invoke name=\"f\" returntype=\"javascript\"><arguments><number>7</number><true/>"
              "<string>x</string></arguments></invoke>");
    BridgeReleaseVariantValue(&result);
    EXPECT_FALSE(BridgeInvoke(&g_npp, window, Id("__flash__request"), args + 1, 1, &result));
    EXPECT_FALSE(BridgeInvoke(&g_npp, window, Id("__flash__request"), nullptr, 0, &result));
    EXPECT_FALSE(BridgeInvoke(&g_npp, window, Id("alert"), args, 1, &result));
}

TEST_F(ScriptBridgeTest, FsCommandsGoToTheHostWhichMayNotServeThem) {
    NPVariant args[2] = {StringArg("quit"), StringArg("")};
    NPVariant result;
    ASSERT_TRUE(BridgeInvoke(&g_npp, window, Id("_DoFSCommand"), args, 2, &result));
    EXPECT_EQ(result.type, NPVariantType_Void);
    // A missing or non-text second argument arrives as an empty text.
    args[1].type = NPVariantType_Int32;
    EXPECT_TRUE(BridgeInvoke(&g_npp, window, Id("_DoFSCommand"), args, 2, &result));
    EXPECT_TRUE(BridgeInvoke(&g_npp, window, Id("_DoFSCommand"), args, 1, &result));
    EXPECT_EQ(host.calls, std::vector<std::string>(3, ":fsCommand|quit|"));
    host.answer.reset();
    EXPECT_FALSE(BridgeInvoke(&g_npp, window, Id("_DoFSCommand"), args, 2, &result));
    EXPECT_FALSE(BridgeInvoke(&g_npp, window, Id("_DoFSCommand"), args + 1, 1, &result));
    EXPECT_FALSE(BridgeInvoke(&g_npp, window, Id("_DoFSCommand"), nullptr, 0, &result));
    NPP_t stranger{};
    host.answer = "";
    EXPECT_FALSE(BridgeInvoke(&stranger, window, Id("_DoFSCommand"), args, 2, &result));
    EXPECT_EQ(host.calls.size(), 4u);
}

TEST(ScriptBridgeIdentifiers, EntriesFollowTheIdentifierScheme) {
    RegisterMovieCallNames();
    EXPECT_EQ(BridgeGetStringIdentifier("__flash__request"),
              reinterpret_cast<NPIdentifier>(0x0FEEBBCD));
    EXPECT_EQ(BridgeGetIntIdentifier(5), reinterpret_cast<NPIdentifier>(static_cast<intptr_t>(-1)));
    EXPECT_EQ(BridgeIntFromIdentifier(Id("x")), 0);
    EXPECT_TRUE(BridgeIdentifierIsString(Id("someName")));
    EXPECT_FALSE(BridgeIdentifierIsString(reinterpret_cast<NPIdentifier>(0x0FEEBBDA)));
    EXPECT_FALSE(BridgeIdentifierIsString(BridgeGetIntIdentifier(1)));
    EXPECT_EQ(BridgeUTF8FromIdentifier(Id("__flash__request")), nullptr);
    NPUTF8* name = BridgeUTF8FromIdentifier(reinterpret_cast<NPIdentifier>(0x0FEEBBDA));
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "apiInitFinished");
    std::free(name);
    EXPECT_EQ(BridgeUTF8FromIdentifier(BridgeGetIntIdentifier(1)), nullptr);
}

// A plug-in object whose class records invokes and counts deallocations.
struct MovieObject {
    NPObject base;
    std::vector<std::string> invoked;
    bool answer = true;
};
int g_deallocated = 0;
int g_invalidated = 0;

NPObject* AllocateMovieObject(NPP, NPClass*) {
    return &(new MovieObject)->base;
}
void DeallocateMovieObject(NPObject* object) {
    ++g_deallocated;
    delete reinterpret_cast<MovieObject*>(object);
}
void InvalidateObject(NPObject*) {
    ++g_invalidated;
}
bool InvokeMovieObject(NPObject* object, NPIdentifier name, const NPVariant* args, uint32_t count,
                       NPVariant* result) {
    auto* movie = reinterpret_cast<MovieObject*>(object);
    NPUTF8* text = BridgeUTF8FromIdentifier(name);
    std::string call = text ? text : "(none)";
    std::free(text);
    for (uint32_t i = 0; i < count; ++i) call += "|" + Text(args[i]);
    movie->invoked.push_back(call);
    if (!movie->answer) return false;
    *result = MakeStringVariant("done");
    return true;
}

TEST(ScriptBridgeMovieCalls, InvokeTheScriptableObjectWithRegisteredIdentifiers) {
    RegisterMovieCallNames();
    NPClass movieClass{};
    movieClass.structVersion = NP_CLASS_STRUCT_VERSION;
    movieClass.allocate = AllocateMovieObject;
    movieClass.deallocate = DeallocateMovieObject;
    movieClass.invoke = InvokeMovieObject;
    NPObject* object = BridgeCreateObject(nullptr, &movieClass);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->referenceCount, 1u);
    auto* movie = reinterpret_cast<MovieObject*>(object);

    EXPECT_TRUE(CallMovieWithTexts(object, "addWindowForm", {"main"}));
    EXPECT_EQ(CallMovie(object, "apiInitFinished", nullptr, 0).value_or(""), "done");
    EXPECT_TRUE(CallMovieWithTexts(object, "notRegistered", {}));
    movie->answer = false;
    EXPECT_FALSE(CallMovieWithTexts(object, "setThisWindowForm", {"WindowForm"}));
    EXPECT_EQ(movie->invoked, (std::vector<std::string>{"addWindowForm|main", "apiInitFinished",
                                                        "(none)", "setThisWindowForm|WindowForm"}));
    EXPECT_EQ(object->referenceCount, 1u);
    EXPECT_FALSE(CallMovie(nullptr, "apiInitFinished", nullptr, 0).has_value());

    g_deallocated = 0;
    BridgeReleaseObject(object);
    EXPECT_EQ(g_deallocated, 1);
}

TEST(ScriptBridgeObjects, BareRecordsAreInvalidatedAndFreed) {
    NPClass bare{};
    bare.invalidate = InvalidateObject;
    NPObject* object = BridgeCreateObject(nullptr, &bare);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(BridgeRetainObject(object), object);
    EXPECT_EQ(object->referenceCount, 2u);
    g_invalidated = 0;
    BridgeReleaseObject(object);
    EXPECT_EQ(g_invalidated, 0);
    BridgeReleaseObject(object);  // freed here; ASan would catch a leak or a double free
    EXPECT_EQ(g_invalidated, 1);
    EXPECT_EQ(BridgeCreateObject(nullptr, nullptr), nullptr);
}

}  // namespace
}  // namespace kestrel
