// A movie's "Window.getPosition" call as the plug-in hands it over: NPN_Evaluate
// parses the text, the API object routes it to the Window family over a fake
// window registry, and the answer comes back as a plug-in-owned string.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "projector/api/api_object.h"
#include "projector/bridge/script_bridge.h"

namespace kestrel {
namespace {

class StillWindow : public ProjectorWindowApi {
  public:
    WindowRect OuterRect() const override { return {120, 80, 640, 480}; }
    void MoveTo(int, int) override {}
    void ResizeTo(int, int) override {}
    void MoveToAndRepaint(int, int) override {}
    void Close() override {}
    void SetFullScreen(bool) override {}
    void Maximize() override {}
    void Minimize() override {}
    void Restore() override {}
    bool IsMaximized() const override { return false; }
    bool IsMinimized() const override { return false; }
    bool IsVisible() const override { return true; }
    void Show(bool) override {}
    void BringToFront() override {}
    void SendToBack() override {}
    std::string Title() const override { return "main"; }
    void SetTitle(const std::string&) override {}
    void SetDragFlag(bool) override {}
};

class ThreeWindows : public WindowRegistry {
  public:
    ProjectorWindowApi* FindOpenWindow(std::string_view name) override {
        for (std::size_t i = 0; i < 3; ++i)
            if (names_[i] == name) return &windows_[i];
        return nullptr;
    }
    bool OpenWindow(std::string_view) override { return false; }
    std::vector<std::string> WindowDefinitionNames() const override { return {names_, names_ + 3}; }
    int PrimaryScreenWidth() const override { return 1024; }
    int PrimaryScreenHeight() const override { return 768; }

  private:
    const std::string names_[3] = {"tools", "about", "main"};
    StillWindow windows_[3];
};

class SilentMovie : public MovieCaller {
  public:
    bool CallMovie(std::string_view, const std::vector<std::string>&) override { return false; }
};

class NoUrls : public UrlLoader {
  public:
    std::optional<std::string> Load(std::string_view, const std::string*) override {
        return std::nullopt;
    }
};

class WindowHost : public ScriptHost {
  public:
    WindowHost() : api_(windows_, movie_, urls_) {}
    std::optional<std::string> CallHost(std::string_view name, const std::string_view* arguments,
                                        std::size_t count) override {
        return api_.HostCall(name, arguments, count);
    }
    std::string MovieLocation() const override { return "empty"; }

  private:
    ThreeWindows windows_;
    SilentMovie movie_;
    NoUrls urls_;
    ApiObject api_;
};

WindowHost* g_host = nullptr;

void BM_WindowGetPositionRoundTrip(benchmark::State& state) {
    WindowHost host;
    g_host = &host;
    SetScriptHostLookup([](NPP) -> ScriptHost* { return g_host; });
    NPP_t instance{};
    NPObject* window = BridgeWindowObject();
    std::string script =
        "try { __flash__toXML(Window.getPosition(\"main\")) ; } catch (e) { \"<undefined/>\"; }";
    NPString text{script.data(), static_cast<uint32_t>(script.size())};
    for (auto _ : state) {
        NPVariant result;
        if (!BridgeEvaluate(&instance, window, &text, &result)) state.SkipWithError("no answer");
        benchmark::DoNotOptimize(result.value.stringValue.UTF8Characters);
        BridgeReleaseVariantValue(&result);  // what the plug-in does with the answer
    }
    BridgeReleaseObject(window);
    SetScriptHostLookup(nullptr);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WindowGetPositionRoundTrip);

}  // namespace
}  // namespace kestrel

BENCHMARK_MAIN();
