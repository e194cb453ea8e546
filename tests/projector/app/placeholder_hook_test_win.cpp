// The keep-alive hook on the player's placeholder window, against a fake
// plug-in and placeholder windows made by the test in its own thread.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "projector/app/host_surface_win.h"
#include "projector/app/placeholder_hook_win.h"
#include "projector/app/plugin_instance_win.h"
#include "tests/projector/app/fake_plugin_win.h"

namespace kestrel::projector {
namespace {

using test::TheFakePlugin;

// Registered in other letter case than the host looks for: the match ignores case.
constexpr char kTestPlaceholderClass[] = "swflash_PLACEHOLDERx";

std::vector<UINT> g_placeholderMessages;  // what the placeholder's own procedure saw

LRESULT CALLBACK PlaceholderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPlaceholderHeartbeat || message == WM_TIMER)
        g_placeholderMessages.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterPlaceholderClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlaceholderProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kTestPlaceholderClass;
    registered = RegisterClassA(&windowClass) != 0;
}

HWND MakePlaceholder(HWND parent = nullptr) {
    return CreateWindowExA(0, kTestPlaceholderClass, "", parent ? WS_CHILD : WS_POPUP, 0, 0, 0, 0,
                           parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

LONG_PTR ProcedureOf(HWND window) {
    return GetWindowLongPtrA(window, GWLP_WNDPROC);
}
const LONG_PTR kOwnProcedure = reinterpret_cast<LONG_PTR>(&PlaceholderProcedure);

size_t KeepAliveTicks() {
    size_t ticks = 0;
    for (const auto& call : TheFakePlugin().events(WM_TIMER))
        if (call.wParam == 1 && call.lParam == 0) ++ticks;
    return ticks;
}

class PlaceholderHookTest : public testing::Test {
  protected:
    void SetUp() override {
        RegisterPlaceholderClass();
        TheFakePlugin().reset();
        g_placeholderMessages.clear();
        host.reset(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr));
        surface = std::make_unique<OpaqueSurface>(host.get(), 10, 10);
        surface->create();
    }
    void TearDown() override {
        instance.reset();
        surface.reset();
        placeholders.clear();  // before the host: some are its children
        host.reset();
    }
    // A started instance; the player would make its placeholder during NPP_New.
    void StartInstance() {
        instance = std::make_unique<PluginInstance>(functions, *surface);
        ASSERT_TRUE(instance->start());
    }
    HWND AddPlaceholder(HWND parent = nullptr) {
        placeholders.emplace_back(MakePlaceholder(parent));
        return placeholders.back().get();
    }
    // The player destroys its placeholder on its own.
    void DestroyPlaceholder(HWND window) {
        for (OwnedWindow& placeholder : placeholders)
            if (placeholder.get() == window) placeholder.reset();
    }

    NPPluginFuncs functions = test::FakePluginFunctions();
    OwnedWindow host;
    std::unique_ptr<OpaqueSurface> surface;
    std::unique_ptr<PluginInstance> instance;
    std::vector<OwnedWindow> placeholders;
};

TEST_F(PlaceholderHookTest, HooksAfterStartAndPassesEveryMessageOn) {
    HWND placeholder = AddPlaceholder();
    StartInstance();
    EXPECT_NE(ProcedureOf(placeholder), kOwnProcedure);
    SendMessageA(placeholder, kPlaceholderHeartbeat, 0, 0);
    SendMessageA(placeholder, WM_TIMER, kPlaceholderTimerId, 0);
    SendMessageA(placeholder, WM_TIMER, 7, 0);
    EXPECT_EQ(g_placeholderMessages,
              (std::vector<UINT>{kPlaceholderHeartbeat, WM_TIMER, WM_TIMER}));
    EXPECT_EQ(KeepAliveTicks(), 0u) << "a fresh heartbeat needs no tick";
}

TEST_F(PlaceholderHookTest, TicksWhenNoHeartbeatCameYet) {
    HWND placeholder = AddPlaceholder();
    StartInstance();
    SendMessageA(placeholder, WM_TIMER, kPlaceholderTimerId, 0);
    EXPECT_EQ(KeepAliveTicks(), 1u);
    // Other timers of the player are not the keep-alive's.
    SendMessageA(placeholder, WM_TIMER, 4, 0);
    EXPECT_EQ(KeepAliveTicks(), 1u);
}

TEST_F(PlaceholderHookTest, TicksOnceTheHeartbeatIsOlderThanASecond) {
    HWND placeholder = AddPlaceholder();
    StartInstance();
    SendMessageA(placeholder, kPlaceholderHeartbeat, 0, 0);
    SendMessageA(placeholder, WM_TIMER, kPlaceholderTimerId, 0);
    EXPECT_EQ(KeepAliveTicks(), 0u);
    Sleep(1200);
    SendMessageA(placeholder, WM_TIMER, kPlaceholderTimerId, 0);
    SendMessageA(placeholder, WM_TIMER, kPlaceholderTimerId, 0);
    EXPECT_EQ(KeepAliveTicks(), 2u);
    // A new heartbeat stops the ticking again.
    SendMessageA(placeholder, kPlaceholderHeartbeat, 0, 0);
    SendMessageA(placeholder, WM_TIMER, kPlaceholderTimerId, 0);
    EXPECT_EQ(KeepAliveTicks(), 2u);
}

TEST_F(PlaceholderHookTest, APlugInThatThrowsLeavesTheChainWorking) {
    HWND placeholder = AddPlaceholder();
    StartInstance();
    TheFakePlugin().throwOnEvent = true;
    SendMessageA(placeholder, WM_TIMER, kPlaceholderTimerId, 0);  // the tick throws inside the hook
    EXPECT_EQ(g_placeholderMessages, (std::vector<UINT>{WM_TIMER}))
        << "the player still gets its message";
    TheFakePlugin().throwOnEvent = false;
    SendMessageA(placeholder, WM_TIMER, kPlaceholderTimerId, 0);
    EXPECT_EQ(KeepAliveTicks(), 1u) << "the hook keeps working";
}

TEST_F(PlaceholderHookTest, EndingTheInstanceRestoresTheProcedure) {
    HWND placeholder = AddPlaceholder();
    StartInstance();
    instance.reset();
    EXPECT_EQ(ProcedureOf(placeholder), kOwnProcedure);
    TheFakePlugin().calls.clear();
    SendMessageA(placeholder, WM_TIMER, kPlaceholderTimerId, 0);
    EXPECT_EQ(KeepAliveTicks(), 0u);
    EXPECT_EQ(g_placeholderMessages, (std::vector<UINT>{WM_TIMER}));
}

TEST_F(PlaceholderHookTest, TwoInstancesHookTwoPlaceholders) {
    HWND first = AddPlaceholder();
    StartInstance();
    HWND second = AddPlaceholder();
    OpaqueSurface otherSurface(host.get(), 10, 10);
    otherSurface.create();
    {
        PluginInstance other(functions, otherSurface);
        ASSERT_TRUE(other.start());
        EXPECT_NE(ProcedureOf(first), kOwnProcedure);
        EXPECT_NE(ProcedureOf(second), kOwnProcedure);
    }
    EXPECT_NE(ProcedureOf(first), kOwnProcedure) << "the first instance still hooks its own";
    EXPECT_EQ(ProcedureOf(second), kOwnProcedure);
}

TEST_F(PlaceholderHookTest, FindsAPlaceholderThatIsAChildWindow) {
    HWND placeholder = AddPlaceholder(host.get());
    ASSERT_NE(placeholder, nullptr);
    StartInstance();
    EXPECT_NE(ProcedureOf(placeholder), kOwnProcedure);
    SendMessageA(placeholder, WM_TIMER, kPlaceholderTimerId, 0);
    EXPECT_EQ(KeepAliveTicks(), 1u);
}

TEST_F(PlaceholderHookTest, PlaceholderGoingFirstIsForgotten) {
    HWND placeholder = AddPlaceholder();
    StartInstance();
    DestroyPlaceholder(placeholder);
    // A new window may reuse nothing of the old hook; the instance ends cleanly.
    HWND next = AddPlaceholder();
    instance.reset();
    EXPECT_EQ(ProcedureOf(next), kOwnProcedure);
}

TEST_F(PlaceholderHookTest, StartsWithoutAnyPlaceholder) {
    StartInstance();
    EXPECT_TRUE(instance->isStarted());
}

}  // namespace
}  // namespace kestrel::projector
