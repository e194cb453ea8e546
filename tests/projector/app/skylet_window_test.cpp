// Projector windows run for real with the real player: a transparent window
// shows the movie's shapes over what lies behind it, and the movie hears
// about moves and size changes through its registered callbacks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/payload_writer.h"
#include "common/projector_payload.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/support/ui_test_support.h"
#include "tools/swfwriter/description.h"

namespace kestrel::skylet_test {
namespace {

using uitest::TestProcess;

constexpr DWORD kWindowTimeoutMs = 60000;
constexpr DWORD kEventTimeoutMs = 15000;
constexpr int kStage = 200;
constexpr COLORREF kShapeColor = RGB(0xFF, 0x00, 0x00);
constexpr COLORREF kBackdropColor = RGB(0x00, 0xC0, 0x00);

// Registers a callback `event` that traces its name and arguments.
std::string TracingCallback(const std::string& event, const std::string& word, int arguments) {
    std::string text =
        "  function \"" + event + "Handler\" (\"a\", \"b\")\n    push \"" + word + "\"\n";
    if (arguments >= 1)
        text += "    push \" \"\n    add2\n    push \"a\"\n    getVariable\n    add2\n";
    if (arguments >= 2)
        text += "    push \" \"\n    add2\n    push \"b\"\n    getVariable\n    add2\n";
    text += "    trace\n  end\n";
    // ExternalInterface.addCallback(event, null, handler)
    text +=
        "  push \"" + event + "Handler\"\n  getVariable\n  push null, \"" + event +
        "\", 3\n  push \"flash\"\n  getVariable\n  push \"external\"\n  getMember\n"
        "  push \"ExternalInterface\"\n  getMember\n  push \"addCallback\"\n  callMethod\n  pop\n";
    return text;
}

// The left half of the stage is an opaque red rectangle; the right half is empty.
std::vector<uint8_t> WindowEventsMovie() {
    std::string text =
        "version 8\nstage 200 200\nrate 12\nbackground #FFFFFF\n"
        "shape 1\n  fill #FF0000\n  rect 0 0 100 200 fill=1\nend\nplace 1 depth=1\naction\n";
    text += TracingCallback("onWindowResize", "resize", 2);
    text += TracingCallback("onWindowPosition", "position", 2);
    text += TracingCallback("onWindowMinimize", "minimize", 0);
    text += TracingCallback("onWindowMaximize", "maximize", 0);
    text += TracingCallback("onWindowRestore", "restore", 0);
    text += "  push \"ready\"\n  trace\n  stop\nend\nshowframe\n";
    std::string error;
    auto bytes = swf::CompileDescription(text, error);
    EXPECT_TRUE(bytes.has_value()) << error;
    return bytes ? *bytes : std::vector<uint8_t>();
}

ProjectorPayload TransparentPayload(const std::string& moviePath, WindowStyle style) {
    ProjectorPayload payload;
    WindowDefinition& main = payload.mainWindow;
    main.moviePath = "movie.swf";
    main.title = "Transparent";
    main.type = WindowType::Transparent;
    main.style = style;
    main.visible = true;
    main.sizeMode = WindowSizeMode::Custom;
    main.width = kStage;
    main.height = kStage;
    main.positionMode = WindowPositionMode::Custom;
    main.x = 100;
    main.y = 100;
    PayloadWindowContent content;
    content.moviePath = moviePath;
    payload.windows.push_back(content);
    return payload;
}

// A plain window of one colour behind the projector, so what shows through is known.
class Backdrop {
  public:
    Backdrop(int x, int y, int width, int height) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = CreateSolidBrush(kBackdropColor);
        windowClass.lpszClassName = "KestrelTestBackdrop";
        RegisterClassA(&windowClass);
        window_.reset(CreateWindowExA(0, "KestrelTestBackdrop", "", WS_POPUP | WS_VISIBLE, x, y,
                                      width, height, nullptr, nullptr, GetModuleHandleA(nullptr),
                                      nullptr));
        UpdateWindow(window_.get());
    }
    // Keeps this thread's window painted while the test waits.
    void pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }

  private:
    kestrel::OwnedWindow window_;
};

COLORREF ScreenPixel(int x, int y) {
    kestrel::WindowDC screen;
    return GetPixel(screen.get(), x, y);
}

std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

bool WaitForTraceLine(const std::string& path, const std::string& line) {
    return uitest::WaitUntil(
        [&] {
            const std::string text = ReadText(path);
            return text.find(line + "\n") != std::string::npos ||
                   text.find(line + "\r\n") != std::string::npos;
        },
        kEventTimeoutMs);
}

class SkyletTransparentWindow : public testing::Test {
  protected:
    void StartProjector(WindowStyle style) {
        const std::string movie = folder.writeFile("movie.swf", WindowEventsMovie());
        const std::string program = folder.copyStub("transparent.exe");
        ASSERT_EQ(WriteProjectorPayload(program, TransparentPayload(movie, style)),
                  PayloadWriteError::None);
        tracePath = folder.work() + "\\trace.txt";
        const std::string temp = folder.temp() + "\\";
        ASSERT_TRUE(
            process.start({program,
                           folder.work(),
                           {{"TMP", temp}, {"TEMP", temp}, {"NPFP_TRACE_FILE", tracePath}}}));
        window = uitest::WaitForTopLevelWindow(process.id(), "LK_KestrelSKWindow", nullptr,
                                               kWindowTimeoutMs);
        ASSERT_NE(window, nullptr) << "no projector window";
        ASSERT_TRUE(WaitForTraceLine(tracePath, "ready")) << ReadText(tracePath);
    }
    void TearDown() override {
        if (window && IsWindow(window)) uitest::CloseWindowPolitely(window);
        uint32_t code = 0;
        if (process.id()) {
            EXPECT_TRUE(process.waitForExit(30000, &code));
        }
    }

    ProjectorFolder folder;
    TestProcess process;
    HWND window = nullptr;
    std::string tracePath;
};

TEST_F(SkyletTransparentWindow, IsALayeredPopupWithoutMenu) {
    StartProjector(WindowStyle::Normal);
    const LONG_PTR style =
        GetWindowLongPtrA(window, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE | WS_CLIPSIBLINGS);
    EXPECT_EQ(static_cast<DWORD>(style), 0x80080000u);
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_FALSE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetMenu(window), nullptr);
    const RECT outer = uitest::WindowRectangle(window);
    EXPECT_EQ(outer.right - outer.left, kStage);
    EXPECT_EQ(outer.bottom - outer.top, kStage);
}

TEST_F(SkyletTransparentWindow, ToolStyleAddsToolWindow) {
    StartProjector(WindowStyle::Tool);
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
}

TEST_F(SkyletTransparentWindow, ShowsShapeOverWhatLiesBehind) {
    Backdrop backdrop(60, 60, 280, 280);
    backdrop.pump();
    StartProjector(WindowStyle::Normal);
    const RECT outer = uitest::WindowRectangle(window);
    const int shapeX = outer.left + 50, emptyX = outer.left + 150, y = outer.top + 100;
    COLORREF shape = CLR_INVALID, empty = CLR_INVALID;
    EXPECT_TRUE(uitest::WaitUntil(
        [&] {
            backdrop.pump();
            shape = ScreenPixel(shapeX, y);
            empty = ScreenPixel(emptyX, y);
            return shape == kShapeColor && empty == kBackdropColor;
        },
        kEventTimeoutMs))
        << std::hex << "shape " << shape << " empty " << empty;
}

TEST_F(SkyletTransparentWindow, MovieHearsMovesAndSizeChanges) {
    StartProjector(WindowStyle::Normal);
    SetWindowPos(window, nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitForTraceLine(tracePath, "position 150 120")) << ReadText(tracePath);
    // Partly off the left edge: a negative corner.
    SetWindowPos(window, nullptr, -30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitForTraceLine(tracePath, "position -30 40")) << ReadText(tracePath);

    SetWindowPos(window, nullptr, 0, 0, 160, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitForTraceLine(tracePath, "restore\nresize 160 90") ||
                WaitForTraceLine(tracePath, "restore\r\nresize 160 90"))
        << ReadText(tracePath);
    // Down to one pixel and back: the surface follows without trouble.
    SetWindowPos(window, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitForTraceLine(tracePath, "resize 1 1")) << ReadText(tracePath);
    SetWindowPos(window, nullptr, 0, 0, 120, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitForTraceLine(tracePath, "resize 120 80")) << ReadText(tracePath);
    EXPECT_TRUE(process.isRunning());

    ShowWindowAsync(window, SW_MAXIMIZE);
    EXPECT_TRUE(WaitForTraceLine(tracePath, "maximize")) << ReadText(tracePath);
    ShowWindowAsync(window, SW_MINIMIZE);
    EXPECT_TRUE(WaitForTraceLine(tracePath, "minimize")) << ReadText(tracePath);
}

// Mouse and keyboard as a user gives them (system input into the foreground window).
class SkyletInput : public testing::Test {
  protected:
    void StartProjector(MouseAction leftAction, bool exitOnEscape,
                        std::vector<uint8_t> movieBytes = {}) {
        if (movieBytes.empty()) movieBytes = BackgroundMovie(kStage, kStage, 0x33, 0x66, 0xCC);
        const std::string movie = folder.writeFile("movie.swf", movieBytes);
        const std::string program = folder.copyStub("input.exe");
        ProjectorPayload payload = TransparentPayload(movie, WindowStyle::Normal);
        payload.mainWindow.type = WindowType::Standard;
        payload.mainWindow.name = "main";
        payload.mainWindow.leftMouseAction = leftAction;
        payload.mainWindow.exitOnEscape = exitOnEscape;
        ASSERT_EQ(WriteProjectorPayload(program, payload), PayloadWriteError::None);
        ASSERT_TRUE(folder.start(&process, program));
        window = uitest::WaitForTopLevelWindow(process.id(), "LK_KestrelSKWindow", nullptr,
                                               kWindowTimeoutMs);
        ASSERT_NE(window, nullptr) << "no projector window";
        ASSERT_TRUE(uitest::WaitUntil([&] { return uitest::IsWindowShown(window); }, 10000));
        SetForegroundWindow(window);
        ASSERT_TRUE(uitest::WaitUntil([&] { return GetForegroundWindow() == window; }, 10000));
    }
    void TearDown() override {
        if (window && IsWindow(window)) uitest::CloseWindowPolitely(window);
        uint32_t code = 0;
        if (process.id()) {
            EXPECT_TRUE(process.waitForExit(30000, &code));
        }
    }
    // Left button pressed at the client point, dragged by (dx, dy), released.
    void DragFrom(int x, int y, int dx, int dy) {
        POINT start{x, y};
        ClientToScreen(window, &start);
        SetCursorPos(start.x, start.y);
        Sleep(100);
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        Sleep(200);
        for (int step = 1; step <= 4; ++step) {
            SetCursorPos(start.x + dx * step / 4, start.y + dy * step / 4);
            mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
            Sleep(100);
        }
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        Sleep(200);
    }

    ProjectorFolder folder;
    TestProcess process;
    HWND window = nullptr;
};

TEST_F(SkyletInput, LeftDragActionMovesTheWindow) {
    StartProjector(MouseAction::Drag, true);
    const RECT before = uitest::WindowRectangle(window);
    DragFrom(kStage / 2, kStage / 2, 40, 30);
    RECT after{};
    EXPECT_TRUE(uitest::WaitUntil(
        [&] {
            after = uitest::WindowRectangle(window);
            return after.left == before.left + 40 && after.top == before.top + 30;
        },
        5000))
        << "moved from " << before.left << "," << before.top << " to " << after.left << ","
        << after.top;
}

// A movie that calls "Window.startDrag" for its own window in its first frame.
std::vector<uint8_t> StartDragMovie() {
    const std::string text =
        "version 8\nstage 200 200\nbackground #3366CC\naction\n"
        "  push \"main\", \"Window.startDrag\", 2\n  push \"flash\"\n  getVariable\n  push "
        "\"external\"\n"
        "  getMember\n  push \"ExternalInterface\"\n  getMember\n  push \"call\"\n  callMethod\n  "
        "pop\n"
        "  stop\nend\nshowframe\n";
    std::string error;
    auto bytes = swf::CompileDescription(text, error);
    EXPECT_TRUE(bytes.has_value()) << error;
    return bytes ? *bytes : std::vector<uint8_t>();
}

TEST_F(SkyletInput, StartDragFromTheMovieMovesTheWindow) {
    StartProjector(MouseAction::Flash, true, StartDragMovie());
    const RECT before = uitest::WindowRectangle(window);
    DragFrom(kStage / 2, kStage / 2, -25, 35);
    RECT after{};
    EXPECT_TRUE(uitest::WaitUntil(
        [&] {
            after = uitest::WindowRectangle(window);
            return after.left == before.left - 25 && after.top == before.top + 35;
        },
        5000))
        << "moved from " << before.left << "," << before.top << " to " << after.left << ","
        << after.top;
}

TEST_F(SkyletInput, LeftPressInFlashModeLeavesTheWindowInPlace) {
    StartProjector(MouseAction::Flash, true);
    const RECT before = uitest::WindowRectangle(window);
    DragFrom(kStage / 2, kStage / 2, 40, 30);
    const RECT after = uitest::WindowRectangle(window);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_TRUE(process.isRunning());
}

struct EscapeCase {
    const char* name;
    bool exitOnEscape;
    bool ends;
};

class SkyletEscape : public SkyletInput, public testing::WithParamInterface<EscapeCase> {};

TEST_P(SkyletEscape, EndsTheProgramOnlyWhenAllowed) {
    StartProjector(MouseAction::Flash, GetParam().exitOnEscape);
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    uint32_t code = 1;
    if (GetParam().ends) {
        ASSERT_TRUE(process.waitForExit(15000, &code)) << "Escape did not end the program";
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(folder.unpackFolders().empty());
        window = nullptr;
    } else {
        EXPECT_FALSE(process.waitForExit(2000, &code)) << "Escape ended the program";
    }
}

const EscapeCase kEscapeCases[] = {{"exit_on_escape", true, true},
                                   {"no_exit_on_escape", false, false}};
INSTANTIATE_TEST_SUITE_P(Cases, SkyletEscape, testing::ValuesIn(kEscapeCases),
                         [](const testing::TestParamInfo<EscapeCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kestrel::skylet_test
