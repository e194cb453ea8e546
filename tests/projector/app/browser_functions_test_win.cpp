// The browser function table as the plug-in sees it: entries that cannot do
// the work answer an error, and a fault inside the host (here a script host
// that throws) ends as the entry's failure answer, never in the plug-in.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "projector/app/browser_functions_win.h"
#include "projector/app/host_surface_win.h"
#include "projector/app/plugin_instance_win.h"
#include "projector/app/plugin_stream_win.h"
#include "projector/bridge/script_bridge.h"
#include "tests/projector/app/fake_plugin_win.h"

namespace kestrel::projector {
namespace {

using test::TheFakePlugin;

// Runs out of memory on every call, as an API method might.
class ThrowingHost : public ScriptHost {
  public:
    int calls = 0;
    std::optional<std::string> CallHost(std::string_view, const std::string_view*,
                                        std::size_t) override {
        ++calls;
        throw std::bad_alloc();
    }
    std::string MovieLocation() const override { return "empty"; }
};

class AnsweringHost : public ScriptHost {
  public:
    std::optional<std::string> CallHost(std::string_view, const std::string_view*,
                                        std::size_t) override {
        return std::string("<true/>");
    }
    std::string MovieLocation() const override { return "empty"; }
};

ScriptHost* g_host = nullptr;

class BrowserTableTest : public testing::Test {
  protected:
    void SetUp() override {
        TheFakePlugin().reset();
        window.reset(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr));
        surface = std::make_unique<OpaqueSurface>(window.get(), 10, 10);
        surface->create();
        instance = std::make_unique<PluginInstance>(functions, *surface);
        ASSERT_TRUE(instance->start());
        SetScriptHostLookup([](NPP) { return g_host; });
    }
    void TearDown() override {
        SetScriptHostLookup(nullptr);
        g_host = nullptr;
        instance.reset();
        surface.reset();
        window.reset();
    }
    bool Evaluate(const char* script, NPVariant* result) {
        NPObject* windowObject = HostWindowScriptObject(instance->npp());
        NPString text{script, static_cast<uint32_t>(std::strlen(script))};
        const bool evaluated = table->evaluate(instance->npp(), windowObject, &text, result);
        table->releaseobject(windowObject);
        return evaluated;
    }

    NPNetscapeFuncs* table = BrowserFunctionTable();
    NPPluginFuncs functions = test::FakePluginFunctions();
    OwnedWindow window;
    std::unique_ptr<OpaqueSurface> surface;
    std::unique_ptr<PluginInstance> instance;
};

TEST_F(BrowserTableTest, EntriesThatCannotDoTheWorkAnswerAnError) {
    char mimeType[] = "text/plain";
    NPStream* stream = reinterpret_cast<NPStream*>(&mimeType);
    EXPECT_NE(table->newstream(instance->npp(), mimeType, "_blank", &stream), NPERR_NO_ERROR);
    EXPECT_EQ(stream, nullptr) << "no stream may be left to write to";
    EXPECT_NE(table->posturl(instance->npp(), "http://127.0.0.1/form", nullptr, 3, "a=1", false),
              NPERR_NO_ERROR);
    EXPECT_NE(table->requestread(nullptr, nullptr), NPERR_NO_ERROR);
    char data[] = "abc";
    EXPECT_LT(table->write(instance->npp(), nullptr, 3, data), 0);
    EXPECT_NE(table->destroystream(instance->npp(), nullptr, NPRES_DONE), NPERR_NO_ERROR);
    EXPECT_TRUE(TheFakePlugin().callsOf("newstream").empty());
}

TEST_F(BrowserTableTest, GetValueWritesOrFails) {
    EXPECT_EQ(table->getvalue(instance->npp(), NPNVnetscapeWindow, nullptr), NPERR_INVALID_PARAM);
    EXPECT_EQ(table->getvalue(instance->npp(), NPNVWindowNPObject, nullptr), NPERR_INVALID_PARAM);

    HWND answer = nullptr;
    EXPECT_EQ(table->getvalue(instance->npp(), NPNVnetscapeWindow, &answer), NPERR_NO_ERROR);
    EXPECT_EQ(answer, window.get());
    NPP_t stranger{};
    answer = nullptr;
    EXPECT_NE(table->getvalue(&stranger, NPNVnetscapeWindow, &answer), NPERR_NO_ERROR);
    EXPECT_EQ(answer, nullptr);

    NPObject* object = nullptr;
    ASSERT_EQ(table->getvalue(instance->npp(), NPNVWindowNPObject, &object), NPERR_NO_ERROR);
    EXPECT_TRUE(IsBrowserObject(object));
    table->releaseobject(object);
}

TEST_F(BrowserTableTest, AHostThatThrowsFailsTheEvaluationAndTheProgramGoesOn) {
    ThrowingHost throwing;
    g_host = &throwing;
    NPVariant result;
    result.type = NPVariantType_Void;
    EXPECT_FALSE(Evaluate("try { __flash__toXML(Window.center()) ; }", &result));
    EXPECT_EQ(throwing.calls, 1);

    AnsweringHost answering;
    g_host = &answering;
    ASSERT_TRUE(Evaluate("try { __flash__toXML(Window.center()) ; }", &result));
    ASSERT_EQ(result.type, NPVariantType_String);
    EXPECT_EQ(
        std::string(result.value.stringValue.UTF8Characters, result.value.stringValue.UTF8Length),
        "<true/>");
    table->releasevariantvalue(&result);
}

TEST_F(BrowserTableTest, AUrlRequestWhoseFetchThrowsFailsAndFreesItsStream) {
    ThrowingHost throwing;
    instance->setScriptHost(&throwing);
    int notifyData = 0;
    EXPECT_EQ(table->geturlnotify(instance->npp(), "data/a.xml", nullptr, &notifyData),
              NPERR_GENERIC_ERROR);
    EXPECT_EQ(throwing.calls, 1);
    // The stream the plug-in had accepted is ended, and nothing is left.
    ASSERT_EQ(TheFakePlugin().callsOf("destroystream").size(), 1u);
    EXPECT_EQ(PluginStream::LiveCount(), 0);
    instance->setScriptHost(nullptr);
}

}  // namespace
}  // namespace kestrel::projector
