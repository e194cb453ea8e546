// Test doubles for the window registry and the movie: they record what the
// API asked for.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "projector/api/movie_caller.h"
#include "projector/api/window_registry.h"

namespace kestrel::test {

class FakeWindow : public ProjectorWindowApi {
  public:
    WindowRect rect{10, 20, 300, 200};
    bool maximized = false, minimized = false, visible = true, fullScreen = false, drag = false;
    bool repainted = false, closed = false;
    std::string title = "Main";
    std::vector<std::string> zOrderCalls;

    WindowRect OuterRect() const override { return rect; }
    void MoveTo(int left, int top) override { rect.left = left, rect.top = top; }
    void ResizeTo(int width, int height) override { rect.width = width, rect.height = height; }
    void MoveToAndRepaint(int left, int top) override {
        MoveTo(left, top);
        repainted = true;
    }
    void Close() override { closed = true; }
    void SetFullScreen(bool on) override { fullScreen = on; }
    void Maximize() override { maximized = true; }
    void Minimize() override { minimized = true; }
    void Restore() override { maximized = minimized = false; }
    bool IsMaximized() const override { return maximized; }
    bool IsMinimized() const override { return minimized; }
    bool IsVisible() const override { return visible; }
    void Show(bool on) override { visible = on; }
    void BringToFront() override { zOrderCalls.push_back("front"); }
    void SendToBack() override { zOrderCalls.push_back("back"); }
    std::string Title() const override { return title; }
    void SetTitle(const std::string& text) override { title = text; }
    void SetDragFlag(bool on) override { drag = on; }
};

class FakeRegistry : public WindowRegistry {
  public:
    std::map<std::string, std::unique_ptr<FakeWindow>> open;
    std::vector<std::string> definitions{"main", "second"};
    std::vector<std::string> opened;
    int screenWidth = 1024, screenHeight = 768;

    FakeWindow& Add(const std::string& name) {
        auto& slot = open[name];
        slot = std::make_unique<FakeWindow>();
        return *slot;
    }
    ProjectorWindowApi* FindOpenWindow(std::string_view name) override {
        auto found = open.find(std::string(name));
        return found == open.end() ? nullptr : found->second.get();
    }
    bool OpenWindow(std::string_view name) override {
        for (const auto& definition : definitions) {
            if (definition == name) {
                opened.push_back(definition);
                return true;
            }
        }
        return false;
    }
    std::vector<std::string> WindowDefinitionNames() const override { return definitions; }
    int PrimaryScreenWidth() const override { return screenWidth; }
    int PrimaryScreenHeight() const override { return screenHeight; }
};

class FakeMovie : public MovieCaller {
  public:
    std::vector<std::string> calls;  // "name(arg,arg)"
    bool CallMovie(std::string_view name, const std::vector<std::string>& texts) override {
        std::string call(name);
        call += "(";
        for (size_t i = 0; i < texts.size(); ++i) call += (i ? "," : "") + texts[i];
        calls.push_back(call + ")");
        return true;
    }
};

}  // namespace kestrel::test
