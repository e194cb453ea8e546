// The "Window." family on real projector windows: the movie makes each call
// when the test asks for it, and the test checks the window as the system
// sees it. The test asks by setting the main window's title to "step N"; the
// movie reads its title with "Window.getTitle" every frame, makes call N and
// traces "did N:" with the answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/net/base64.h"
#include "common/projector_payload.h"
#include "tests/player/shell/movie_script_text.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/support/ui_test_support.h"
#include "tools/swfwriter/description.h"

namespace kestrel::skylet_test {
namespace {

using shell_test::CallOut;

constexpr DWORD kWindowTimeoutMs = 60000;
constexpr DWORD kStepTimeoutMs = 15000;

struct ApiCall {
    std::string name;               // "Window.maximize"
    std::vector<std::string> args;  // push operands: "\"main\""
};

std::string StepTitle(size_t step) {
    return "step " + std::to_string(step);
}

// Frame 2 polls the title and makes the asked call; frame 3 loops back.
std::vector<uint8_t> SteppedMovie(const std::vector<ApiCall>& calls) {
    std::string poll = CallOut("t", "Window.getTitle", {"\"main\""});
    poll += "push \"t\"\ngetVariable\npush \"last\"\ngetVariable\nequals2\nif same\n";
    poll += "push \"last\"\npush \"t\"\ngetVariable\nsetVariable\n";
    poll += "push \"seen:\"\npush \"t\"\ngetVariable\nadd2\ntrace\n";
    for (size_t i = 0; i < calls.size(); ++i) {
        const std::string skip = "skip" + std::to_string(i);
        poll += "push \"t\"\ngetVariable\npush \"" + Base64Encode(StepTitle(i)) +
                "\"\nequals2\nnot\nif " + skip + "\n";
        poll += CallOut("r", calls[i].name, calls[i].args);
        poll += "push \"did " + std::to_string(i) + ":\"\npush \"r\"\ngetVariable\nadd2\ntrace\n" +
                skip + ":\n";
    }
    poll += "same:\n";
    const std::string frames =
        "action\n" + poll + "end\nshowframe\naction\ngotoFrame 1\nplay\nend\nshowframe\n";
    std::string error;
    auto bytes = swf::CompileDescription(shell_test::MovieWithFrameOne("", frames, 20), error);
    EXPECT_TRUE(bytes.has_value()) << error;
    return bytes ? *bytes : std::vector<uint8_t>();
}

WindowDefinition Window(const std::string& name, int x, int y) {
    WindowDefinition definition;
    definition.moviePath = "movie.swf";
    definition.name = name;
    definition.title = name;
    definition.sizeMode = WindowSizeMode::Custom;
    definition.x = x;
    definition.y = y;
    definition.width = 300;
    definition.height = 200;
    definition.resizable = true;
    definition.exitOnEscape = false;
    return definition;
}

// A projector whose main window "main" runs the stepped movie.
class SteppedProjector {
  public:
    SteppedProjector(ProjectorPayload payload, const std::vector<ApiCall>& calls) {
        payload.windows.resize(std::max<size_t>(payload.windows.size(), 1));
        payload.windows[0].moviePath = folder.writeFile("movie.swf", SteppedMovie(calls));
        // Other windows play a still movie: a second poller would make the calls again.
        if (payload.windows.size() > 1)
            payload.windows[1].moviePath =
                folder.writeFile("still.swf", BackgroundMovie(300, 200, 0x99, 0x99, 0x33));
        for (WindowDefinition& additional : payload.mainWindow.additionalWindows)
            additional.moviePath = "still.swf";
        const std::string program = folder.copyStub("api.exe");
        tracePath_ = JoinPath(folder.work(), "trace.txt");
        const std::string temp = folder.temp() + "\\";
        if (WriteProjectorPayload(program, payload) != PayloadWriteError::None) return;
        if (!process.start({program,
                            folder.work(),
                            {{"TMP", temp}, {"TEMP", temp}, {"NPFP_TRACE_FILE", tracePath_}}}))
            return;
        main = uitest::WaitForTopLevelWindow(process.id(), "LK_KestrelSKWindow", "main",
                                             kWindowTimeoutMs);
        // The movie has read the first title once it traces it.
        if (main && !waitForLine("seen:" + Base64Encode("main"))) main = nullptr;
    }
    ~SteppedProjector() {
        if (process.isRunning()) {
            for (HWND window :
                 uitest::FindTopLevelWindows(process.id(), "LK_KestrelSKWindow", nullptr))
                uitest::CloseWindowPolitely(window);
        }
        uint32_t code = 0;
        if (!process.waitForExit(30000, &code)) process.kill();
    }

    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::ifstream file(tracePath_);
        std::string line;
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            result.push_back(line);
        }
        return result;
    }
    bool waitForLine(const std::string& wanted) const {
        return uitest::WaitUntil(
            [&] {
                const std::vector<std::string> all = lines();
                return std::find(all.begin(), all.end(), wanted) != all.end();
            },
            kStepTimeoutMs);
    }
    // Has the movie make call `step`; returns its answer as the movie saw it.
    std::string run(size_t step) {
        SetWindowTextA(main, StepTitle(step).c_str());
        const std::string prefix = "did " + std::to_string(step) + ":";
        std::string answer = "(no answer)";
        uitest::WaitUntil(
            [&] {
                for (const std::string& line : lines())
                    if (line.rfind(prefix, 0) == 0) {
                        answer = line.substr(prefix.size());
                        return true;
                    }
                return false;
            },
            kStepTimeoutMs);
        return answer;
    }
    HWND find(const char* title) const {
        const std::vector<HWND> found =
            uitest::FindTopLevelWindows(process.id(), "LK_KestrelSKWindow", title);
        return found.empty() ? nullptr : found.front();
    }

    ProjectorFolder folder;
    uitest::TestProcess process;
    HWND main = nullptr;

  private:
    std::string tracePath_;
};

// True when `upper` lies above `lower` in the Z order.
bool IsAbove(HWND upper, HWND lower) {
    for (HWND window = GetWindow(upper, GW_HWNDNEXT); window;
         window = GetWindow(window, GW_HWNDNEXT))
        if (window == lower) return true;
    return false;
}

// A plain window of this process that overlaps the projector's.
class Backdrop {
  public:
    Backdrop() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = "KestrelApiTestBackdrop";
        RegisterClassA(&windowClass);
        window.reset(CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 150,
                                     150, 200, 200, nullptr, nullptr, GetModuleHandleA(nullptr),
                                     nullptr));
    }
    kestrel::OwnedWindow window;
};

const std::string kMain = "\"main\"", kSecond = "\"second\"";

TEST(SkyletWindowApi, ActionsReachTheRealWindowFoundByName) {
    const std::vector<ApiCall> calls = {
        /* 0 */ {"Window.hide", {kMain}},
        /* 1 */ {"Window.isVisible", {kMain}},
        /* 2 */ {"Window.show", {kMain, "\"TRUE\""}},
        /* 3 */ {"Window.isVisible", {kMain}},
        /* 4 */ {"Window.maximize", {kMain}},
        /* 5 */ {"Window.isMaximized", {kMain}},
        /* 6 */ {"Window.hide", {kMain}},
        /* 7 */ {"Window.show", {kMain, "\"true\""}},
        /* 8 */ {"Window.restore", {kMain}},
        /* 9 */ {"Window.minimize", {kMain}},
        /* 10 */ {"Window.isMinimized", {kMain}},
        /* 11 */ {"Window.restore", {kMain}},
        /* 12 */ {"Window.bringToFront", {kMain}},
        /* 13 */ {"Window.sendToBack", {kMain}},
        /* 14 */ {"Window.showFullScreen", {kMain, "\"true\""}},
        /* 15 */ {"Window.showFullScreen", {kMain, "\"false\""}},
        /* 16 */ {"Window.open", {kSecond}},
        /* 17 */ {"Window.maximize", {kSecond}},
        /* 18 */ {"Window.isMaximized", {"\"Second\""}},
        /* 19 */ {"Window.isMaximized", {kSecond}},
        /* 20 */ {"Window.close", {kSecond}},
        /* 21 */ {"Window.isVisible", {kSecond}},
        /* 22 */ {"Window.open", {"\"nobody\""}},
    };
    ProjectorPayload payload;
    payload.mainWindow = Window("main", 100, 100);
    payload.mainWindow.visible = true;
    payload.mainWindow.additionalWindows.push_back(Window("second", 500, 300));
    payload.windows.resize(2);
    SteppedProjector projector(payload, calls);
    ASSERT_NE(projector.main, nullptr) << "no projector window, or its movie does not poll";
    HWND main = projector.main;
    const RECT placed = uitest::WindowRectangle(main);
    const LONG_PTR style = GetWindowLongPtrA(main, GWL_STYLE);

    EXPECT_EQ(projector.run(0), "undefined");
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(projector.run(1), "false");
    projector.run(2);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(projector.run(3), "true");

    projector.run(4);
    EXPECT_TRUE(IsZoomed(main));
    EXPECT_EQ(projector.run(5), "true");
    // Shown again in its current size and place: still maximised.
    projector.run(6);
    projector.run(7);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsZoomed(main));
    projector.run(8);
    EXPECT_FALSE(IsZoomed(main));
    RECT rect = uitest::WindowRectangle(main);
    EXPECT_EQ(rect.left, placed.left);
    EXPECT_EQ(rect.bottom, placed.bottom);

    projector.run(9);
    EXPECT_TRUE(IsIconic(main));
    EXPECT_EQ(projector.run(10), "true");
    projector.run(11);
    EXPECT_FALSE(IsIconic(main));

    Backdrop backdrop;
    projector.run(12);
    EXPECT_TRUE(IsAbove(main, backdrop.window.get()));
    projector.run(13);
    EXPECT_TRUE(IsAbove(backdrop.window.get(), main)) << "sendToBack left the window on top";
    rect = uitest::WindowRectangle(main);
    EXPECT_EQ(rect.left, placed.left);
    EXPECT_EQ(rect.top, placed.top);

    projector.run(14);
    EXPECT_EQ(GetWindowLongPtrA(main, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CLIPSIBLINGS),
              0x10080000);
    EXPECT_TRUE(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    rect = uitest::WindowRectangle(main);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    projector.run(15);
    EXPECT_EQ(GetWindowLongPtrA(main, GWL_STYLE), style);
    EXPECT_FALSE(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    rect = uitest::WindowRectangle(main);
    EXPECT_EQ(rect.left, placed.left);
    EXPECT_EQ(rect.top, placed.top);
    EXPECT_EQ(rect.right, placed.right);
    EXPECT_EQ(rect.bottom, placed.bottom);

    // Another window, found by its exact name.
    EXPECT_EQ(projector.run(16), "true");
    HWND second = projector.find("second");
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsWindowVisible(second));
    projector.run(17);
    EXPECT_TRUE(IsZoomed(second));
    EXPECT_FALSE(IsZoomed(main));
    EXPECT_EQ(projector.run(18), "false");
    EXPECT_EQ(projector.run(19), "true");
    projector.run(20);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !IsWindow(second); }, 5000));
    EXPECT_EQ(projector.run(21), "false");
    EXPECT_EQ(projector.run(22), "false");
    EXPECT_TRUE(projector.process.isRunning());
}

// The bar starts empty; menus the movie adds later, enough to wrap onto a
// second line, still leave the client area at window_width by window_height.
TEST(SkyletWindowApi, MenuBarFilledLaterKeepsTheClientArea) {
    std::vector<ApiCall> calls = {{"Menu.MenuBar.new", {"\"bar\""}}};
    for (const char* name :
         {"Document", "Arrangement", "Preferences", "Assistance", "Windows", "Extras"})
        calls.push_back({"Menu.MenuBar.addMenu", {"\"bar\"", "\"" + Base64Encode(name) + "\""}});
    ProjectorPayload payload;
    payload.mainWindow = Window("main", 100, 100);
    payload.mainWindow.visible = true;
    SteppedProjector projector(payload, calls);
    ASSERT_NE(projector.main, nullptr);
    const RECT before = uitest::WindowRectangle(projector.main);
    for (size_t i = 0; i < calls.size(); ++i) projector.run(i);
    const RECT client = uitest::ClientRectangle(projector.main),
               after = uitest::WindowRectangle(projector.main);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_TRUE(uitest::SaveScreenshot(ScreenshotPath("menu_bar_wrapped.bmp")));
}

TEST(SkyletWindowApi, TitleAnswersAtMost255Bytes) {
    ProjectorPayload payload;
    payload.mainWindow = Window("main", 100, 100);
    payload.mainWindow.visible = true;
    SteppedProjector projector(payload, {});
    ASSERT_NE(projector.main, nullptr);
    const std::string longTitle(300, 'k');
    SetWindowTextA(projector.main, longTitle.c_str());
    EXPECT_TRUE(projector.waitForLine("seen:" + Base64Encode(longTitle.substr(0, 255))));
}

void PressEscapeIn(HWND window) {
    SetForegroundWindow(window);
    uitest::WaitUntil([&] { return GetForegroundWindow() == window; }, 5000);
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
}

// The main window ignores Escape; the additional window "second" ends the
// program with it, and can be closed and opened again meanwhile.
TEST(SkyletWindowApi, EscapeEndsOnlyWhereAllowedAndClosedWindowsOpenAgain) {
    ProjectorPayload payload;
    payload.mainWindow = Window("main", 100, 100);
    payload.mainWindow.visible = true;
    WindowDefinition second = Window("second", 500, 300);
    second.visible = true;
    second.exitOnEscape = true;
    payload.mainWindow.additionalWindows.push_back(second);
    payload.windows.resize(2);
    SteppedProjector projector(payload, {{"Window.open", {kSecond}}});
    ASSERT_NE(projector.main, nullptr);
    HWND first = nullptr;
    ASSERT_TRUE(
        uitest::WaitUntil([&] { return (first = projector.find("second")) != nullptr; }, 10000));

    PressEscapeIn(projector.main);
    uint32_t code = 1;
    EXPECT_FALSE(projector.process.waitForExit(2000, &code))
        << "Escape ended the program in the main window";

    uitest::CloseWindowPolitely(first);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !IsWindow(first); }, 5000));
    EXPECT_FALSE(projector.process.waitForExit(1000, &code))
        << "closing an additional window ended the program";
    EXPECT_EQ(projector.run(0), "true");
    HWND again = projector.find("second");
    ASSERT_NE(again, nullptr);

    PressEscapeIn(again);
    ASSERT_TRUE(projector.process.waitForExit(15000, &code)) << "Escape did not end the program";
    EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace kestrel::skylet_test
