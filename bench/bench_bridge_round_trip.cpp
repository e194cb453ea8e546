// A movie's "Window.getPosition" call as the plug-in hands it over: parse the
// evaluated text, route it through the API object to a Window family over a
// fake window registry, and copy the answer into a plug-in-owned string.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "projector/api/api_object.h"
#include "projector/bridge/script_text.h"

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
    std::vector<std::string> WindowDefinitionNames() const override {
        return {names_, names_ + 3};
    }
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

void BM_WindowGetPositionRoundTrip(benchmark::State& state) {
    ThreeWindows windows;
    SilentMovie movie;
    NoUrls urls;
    ApiObject api(windows, movie, urls);
    const std::string script =
        "try { __flash__toXML(Window.getPosition(\"main\")) ; } catch (e) { \"<undefined/>\"; }";
    ScriptCall call;
    for (auto _ : state) {
        if (!ParseScriptCall(script, call)) state.SkipWithError("parse failed");
        ApiResult answer = api.HostCall(call.function, call.arguments.data(), call.arguments.size());
        // The plug-in receives a malloc'ed copy and frees it.
        char* copy = static_cast<char*>(std::malloc(answer->size() + 1));
        std::memcpy(copy, answer->c_str(), answer->size() + 1);
        benchmark::DoNotOptimize(copy);
        std::free(copy);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WindowGetPositionRoundTrip);

}  // namespace
}  // namespace kestrel

BENCHMARK_MAIN();
