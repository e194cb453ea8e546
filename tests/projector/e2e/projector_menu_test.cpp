// The Menu family in a real projector with the real player: a movie drives
// every MenuBar and MenuContext method through the bridge and traces each
// answer; choosing items (as commands, as the system sends them, and with the
// keyboard and mouse) brings "onMenuCommand" to the movie that added them.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/net/base64.h"
#include "projector/api/menu_commands.h"
#include "tests/player/shell/movie_script_text.h"
#include "tests/projector/e2e/running_projector_win.h"

namespace kestrel::e2e {
namespace {

using shell_test::AddCallback;
using shell_test::CallOut;
using shell_test::MovieWithFrameOne;
using skylet_test::ProjectorFolder;

std::string Raw(const std::string& text) {
    return "\"" + text + "\"";
}
std::string Coded(const std::string& text) {
    return "\"" + Base64Encode(text) + "\"";
}

// One call of the movie and the line it traces: "label:answer".
struct MenuStep {
    std::string label;
    std::string method;  // after "Menu."
    std::vector<std::string> args;
    std::string answer;  // "true", "false", or "undefined" for no value
};

// Command ids count up in the order the movie takes them (bar separators use
// one up); each step that takes one says which it is.
const std::vector<MenuStep> kMainSteps = {
    {"new", "MenuBar.new", {Raw("bar")}, "undefined"},
    {"addMenu", "MenuBar.addMenu", {Raw("bar"), Coded("R&D")}, "true"},
    {"addMenu twice", "MenuBar.addMenu", {Raw("bar"), Coded("R&D")}, "false"},
    {"new other", "MenuBar.new", {Raw("other")}, "undefined"},
    {"addMenu other", "MenuBar.addMenu", {Raw("other"), Coded("R&D")}, "true"},
    {"addItem", "MenuBar.addItem", {Raw("bar"), Coded("R&D"), Coded("Open")}, "true"},        // 1
    {"addSeparator", "MenuBar.addSeparator", {Raw("bar"), Coded("R&D")}, "true"},             // 2
    {"addItem twice", "MenuBar.addItem", {Raw("bar"), Coded("R&D"), Coded("Open")}, "true"},  // 3
    {"addItem unknown menu",
     "MenuBar.addItem",
     {Raw("bar"), Coded("Nope"), Coded("Open")},
     "false"},
    {"addItem unknown bar",
     "MenuBar.addItem",
     {Raw("nobar"), Coded("R&D"), Coded("Open")},
     "undefined"},
    {"checkItem", "MenuBar.checkItem", {Raw("bar"), Coded("R&D"), Coded("Open")}, "true"},
    {"itemIsChecked", "MenuBar.itemIsChecked", {Raw("bar"), Coded("R&D"), Coded("Open")}, "true"},
    {"uncheckItem", "MenuBar.uncheckItem", {Raw("bar"), Coded("R&D"), Coded("Open")}, "true"},
    {"itemIsChecked after",
     "MenuBar.itemIsChecked",
     {Raw("bar"), Coded("R&D"), Coded("Open")},
     "false"},
    {"disableItem", "MenuBar.disableItem", {Raw("bar"), Coded("R&D"), Coded("Open")}, "false"},
    {"disableItem twice", "MenuBar.disableItem", {Raw("bar"), Coded("R&D"), Coded("Open")}, "true"},
    {"itemIsEnabled", "MenuBar.itemIsEnabled", {Raw("bar"), Coded("R&D"), Coded("Open")}, "false"},
    {"enableItem", "MenuBar.enableItem", {Raw("bar"), Coded("R&D"), Coded("Open")}, "true"},
    {"enableItem twice", "MenuBar.enableItem", {Raw("bar"), Coded("R&D"), Coded("Open")}, "false"},
    {"itemIsEnabled after",
     "MenuBar.itemIsEnabled",
     {Raw("bar"), Coded("R&D"), Coded("Open")},
     "true"},
    {"enableItem unknown",
     "MenuBar.enableItem",
     {Raw("bar"), Coded("R&D"), Coded("Gone")},
     "false"},
    {"disableItem unknown",
     "MenuBar.disableItem",
     {Raw("bar"), Coded("R&D"), Coded("Gone")},
     "false"},
    {"checkItem unknown", "MenuBar.checkItem", {Raw("bar"), Coded("R&D"), Coded("Gone")}, "false"},
    {"removeItem", "MenuBar.removeItem", {Raw("bar"), Coded("R&D"), Coded("Open")}, "true"},
    {"removeItem unknown",
     "MenuBar.removeItem",
     {Raw("bar"), Coded("R&D"), Coded("Gone")},
     "false"},
    {"addItem other", "MenuBar.addItem", {Raw("other"), Coded("R&D"), Coded("Save")}, "true"},  // 4
    {"addMenu Tools", "MenuBar.addMenu", {Raw("bar"), Coded("Tools")}, "true"},
    {"addItem Tools", "MenuBar.addItem", {Raw("bar"), Coded("Tools"), Coded("Run")}, "true"},  // 5
    {"removeAllItems", "MenuBar.removeAllItems", {Raw("bar"), Coded("Tools")}, "true"},
    {"removeAllItems unknown", "MenuBar.removeAllItems", {Raw("bar"), Coded("Nope")}, "false"},
    {"itemIsEnabled removed",
     "MenuBar.itemIsEnabled",
     {Raw("bar"), Coded("Tools"), Coded("Run")},
     "false"},
    {"removeMenu", "MenuBar.removeMenu", {Raw("bar"), Coded("Tools")}, "true"},
    {"removeMenu twice", "MenuBar.removeMenu", {Raw("bar"), Coded("Tools")}, "false"},
    {"new spare", "MenuBar.new", {Raw("spare")}, "undefined"},
    {"addMenu spare", "MenuBar.addMenu", {Raw("spare"), Coded("Gone")}, "true"},
    {"removeAllMenus", "MenuBar.removeAllMenus", {Raw("spare")}, "true"},
    {"addItem removed menu", "MenuBar.addItem", {Raw("spare"), Coded("Gone"), Coded("X")}, "false"},
    {"unknown method", "MenuBar.addItems", {Raw("bar"), Coded("R&D"), Coded("X")}, "undefined"},
    {"ctx new", "MenuContext.new", {Raw("ctx")}, "undefined"},
    {"ctx addItem Zap", "MenuContext.addItem", {Raw("ctx"), Coded("Zap")}, "true"},  // 6
    {"ctx addSeparator", "MenuContext.addSeparator", {Raw("ctx")}, "true"},
    {"ctx removeAllItems", "MenuContext.removeAllItems", {Raw("ctx")}, "true"},
    {"ctx itemIsEnabled removed", "MenuContext.itemIsEnabled", {Raw("ctx"), Coded("Zap")}, "false"},
    {"ctx addItem Copy", "MenuContext.addItem", {Raw("ctx"), Coded("Copy")}, "true"},  // 7
    {"ctx addSeparator 2", "MenuContext.addSeparator", {Raw("ctx")}, "true"},
    {"ctx addItem Paste", "MenuContext.addItem", {Raw("ctx"), Coded("Paste")}, "true"},  // 8
    {"ctx checkItem", "MenuContext.checkItem", {Raw("ctx"), Coded("Copy"), Raw("true")}, "true"},
    {"ctx itemIsChecked", "MenuContext.itemIsChecked", {Raw("ctx"), Coded("Copy")}, "true"},
    {"ctx checkItem off", "MenuContext.checkItem", {Raw("ctx"), Coded("Copy"), Raw("no")}, "true"},
    {"ctx itemIsChecked off", "MenuContext.itemIsChecked", {Raw("ctx"), Coded("Copy")}, "false"},
    {"ctx checkItem on", "MenuContext.checkItem", {Raw("ctx"), Coded("Copy"), Raw("TRUE")}, "true"},
    {"ctx uncheckItem", "MenuContext.uncheckItem", {Raw("ctx"), Coded("Copy")}, "true"},
    {"ctx itemIsChecked after", "MenuContext.itemIsChecked", {Raw("ctx"), Coded("Copy")}, "false"},
    {"ctx enableItem off",
     "MenuContext.enableItem",
     {Raw("ctx"), Coded("Paste"), Raw("false")},
     "false"},
    {"ctx itemIsEnabled", "MenuContext.itemIsEnabled", {Raw("ctx"), Coded("Paste")}, "false"},
    {"ctx disableItem", "MenuContext.disableItem", {Raw("ctx"), Coded("Paste")}, "true"},
    {"ctx enableItem on",
     "MenuContext.enableItem",
     {Raw("ctx"), Coded("Paste"), Raw("true")},
     "true"},
    {"ctx itemIsEnabled after", "MenuContext.itemIsEnabled", {Raw("ctx"), Coded("Paste")}, "true"},
    {"ctx enableItem unknown",
     "MenuContext.enableItem",
     {Raw("ctx"), Coded("Gone"), Raw("true")},
     "false"},
    {"ctx removeItem unknown", "MenuContext.removeItem", {Raw("ctx"), Coded("Gone")}, "false"},
    {"ctx addItem Cut", "MenuContext.addItem", {Raw("ctx"), Coded("Cut")}, "true"},  // 9
    {"ctx removeItem", "MenuContext.removeItem", {Raw("ctx"), Coded("Cut")}, "true"},
    {"ctx unknown object", "MenuContext.addItem", {Raw("noctx"), Coded("X")}, "undefined"},
};

// The additional window's movie adds one menu to the main window's bar.
const std::vector<MenuStep> kSecondSteps = {
    {"second new", "MenuBar.new", {Raw("sbar")}, "undefined"},
    {"second addMenu", "MenuBar.addMenu", {Raw("sbar"), Coded("Extra")}, "true"},
    {"second addItem",
     "MenuBar.addItem",
     {Raw("sbar"), Coded("Extra"), Coded("Go")},
     "true"},  // 10
};

// The id of the n-th command taken in the run.
constexpr WPARAM Nth(int n) {
    return MenuCommands::kFirstCommand + n - 1;
}
constexpr WPARAM kOpenCommand = Nth(3), kSaveCommand = Nth(4), kCopyCommand = Nth(7),
                 kPasteCommand = Nth(8), kGoCommand = Nth(10);

// A movie that registers "onMenuCommand" (tracing prefix + "menu/item"), runs
// the steps and then traces `done`.
std::vector<uint8_t> MenuMovie(const std::string& prefix, const std::vector<MenuStep>& steps,
                               const std::string& done) {
    std::string frameOne =
        AddCallback("onMenuCommand", "\"m\", \"i\"",
                    Trace(prefix, Var("m") + "push \"/\"\nadd2\n" + Var("i") + "add2\n"));
    for (const MenuStep& step : steps)
        frameOne +=
            CallOut("r", "Menu." + step.method, step.args) + Trace(step.label + ":", Var("r"));
    frameOne += "push \"" + done + "\"\ntrace\n";
    return Compile(MovieWithFrameOne(frameOne));
}

// One line per trace, so that a failure shows which differ.
std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::string ExpectedLines(const std::vector<MenuStep>& steps, const std::string& done) {
    std::string lines;
    for (const MenuStep& step : steps) lines += step.label + ":" + step.answer + "\n";
    return lines + done + "\n";
}

// The lines that begin with `prefix`; for an empty prefix, the main window's
// (those that do not begin with "second").
std::vector<std::string> LinesOf(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> picked;
    for (const std::string& line : lines) {
        const bool second = line.rfind("second", 0) == 0;
        if (prefix.empty() ? !second : line.rfind(prefix, 0) == 0) picked.push_back(line);
    }
    return picked;
}

void PressKey(WORD key) {
    keybd_event(static_cast<BYTE>(key), 0, 0, 0);
    Sleep(50);
    keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    Sleep(200);
}

// A shown popup menu of the process, or null.
HWND OpenPopupMenu(DWORD processId) {
    for (HWND menu : uitest::FindTopLevelWindows(processId, "#32768", nullptr))
        if (IsWindowVisible(menu)) return menu;
    return nullptr;
}

class ProjectorMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        payload = MainWindowPayload("Menus");
        payload.mainWindow.rightMouseAction = MouseAction::CustomMenu;
        WindowDefinition second = payload.mainWindow;
        second.name = "second";
        second.title = "Second";
        second.moviePath = "second.swf";
        second.x = 320;
        second.rightMouseAction = MouseAction::Flash;
        payload.mainWindow.additionalWindows.push_back(second);
        payload.windows.resize(2);
        payload.windows[1].moviePath =
            folder.writeFile("second.swf", MenuMovie("second:", kSecondSteps, "second done"));
    }

    ProjectorFolder folder;
    ProjectorPayload payload;
};

TEST_F(ProjectorMenu, MovieDrivesEveryMethodAndHearsChosenItems) {
    RunningProjector projector(folder, payload, MenuMovie("cmd:", kMainSteps, "menus done"));
    ASSERT_TRUE(projector.started());
    const HWND main = projector.window();
    std::vector<std::string> lines = projector.waitForTrace("menus done");
    ASSERT_EQ(Joined(LinesOf(lines, "")), ExpectedLines(kMainSteps, "menus done"));
    lines = projector.waitForTrace("second done");
    ASSERT_EQ(Joined(LinesOf(lines, "second")), ExpectedLines(kSecondSteps, "second done"));

    // Commands as the system sends them for a chosen item; all arrive at the
    // main window, whose bar shows every window's menus.
    const WPARAM commands[] = {kOpenCommand,
                               Nth(1) /* removed */,
                               Nth(2) /* a separator */,
                               kSaveCommand,
                               Nth(5) /* removed with its menu */,
                               kPasteCommand,
                               MAKEWPARAM(kCopyCommand, 1) /* an accelerator */,
                               IDOK,
                               IDCANCEL /* a dialog's Return and Escape */,
                               kGoCommand};
    for (WPARAM command : commands) SendMessageA(main, WM_COMMAND, command, 0);
    lines = projector.traceLines();
    EXPECT_EQ(LinesOf(lines, "cmd:"),
              (std::vector<std::string>{"cmd:R&D/Open", "cmd:R&D/Save", "cmd:ctx/Paste"}));
    EXPECT_EQ(LinesOf(lines, "second:"), std::vector<std::string>{"second:Extra/Go"});

    // The user chooses with the keyboard: F10 opens the bar, Down the first
    // drop-down (a separator, then Open), Return chooses.
    SetForegroundWindow(main);
    ASSERT_TRUE(uitest::WaitUntil([&] { return GetForegroundWindow() == main; }, 10000));
    PressKey(VK_F10);
    PressKey(VK_DOWN);
    EXPECT_TRUE(
        uitest::WaitUntil([&] { return OpenPopupMenu(projector.processId()) != nullptr; }, 5000))
        << "the bar's drop-down did not open";
    PressKey(VK_RETURN);
    EXPECT_TRUE(uitest::WaitUntil(
        [&] { return LinesOf(projector.traceLines(), "cmd:").size() == 4; }, 5000));

    // A right click in the movie shows the context menu; Down and Return choose Copy.
    RECT client = uitest::ClientRectangle(main);
    POINT inside{(client.right - client.left) / 2, (client.bottom - client.top) / 2};
    ClientToScreen(main, &inside);
    SetCursorPos(inside.x, inside.y);
    Sleep(100);
    mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
    Sleep(50);
    mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
    EXPECT_TRUE(
        uitest::WaitUntil([&] { return OpenPopupMenu(projector.processId()) != nullptr; }, 5000))
        << "no context menu";
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    EXPECT_TRUE(uitest::WaitUntil(
        [&] { return LinesOf(projector.traceLines(), "cmd:").size() == 5; }, 5000));
    EXPECT_EQ(LinesOf(projector.traceLines(), "cmd:"),
              (std::vector<std::string>{"cmd:R&D/Open", "cmd:R&D/Save", "cmd:ctx/Paste",
                                        "cmd:R&D/Open", "cmd:ctx/Copy"}));

    // Closing the additional window takes its menu out of the bar: its command
    // names nothing any more.
    const std::vector<HWND> seconds =
        uitest::FindTopLevelWindows(projector.processId(), "LK_KestrelSKWindow", "Second");
    ASSERT_EQ(seconds.size(), 1u);
    SendMessageA(seconds[0], WM_CLOSE, 0, 0);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !IsWindow(seconds[0]); }, 5000));
    SendMessageA(main, WM_COMMAND, kGoCommand, 0);
    SendMessageA(main, WM_COMMAND, kOpenCommand, 0);
    EXPECT_TRUE(uitest::WaitUntil(
        [&] { return LinesOf(projector.traceLines(), "cmd:").size() == 6; }, 5000));
    EXPECT_EQ(LinesOf(projector.traceLines(), "second:").size(), 1u);
}

// A press with the mouse actions that do nothing of their own: a left press
// with "ignore" or "custom_menu" reaches the movie as with "flash" (no menu,
// no move); a right press with "drag" does nothing at all.
struct PressCase {
    const char* name;
    MouseAction left;
    MouseAction right;
    bool rightButton;
    bool movieHearsIt;
};

class ProjectorMenuPress : public ::testing::TestWithParam<PressCase> {};

TEST_P(ProjectorMenuPress, NeitherMovesTheWindowNorShowsAMenu) {
    const PressCase& press = GetParam();
    // The movie has a context item to show, and traces every press it hears.
    const std::string frameOne =
        CallOut("", "Menu.MenuContext.new", {Raw("ctx")}) +
        CallOut("", "Menu.MenuContext.addItem", {Raw("ctx"), Coded("Copy")}) +
        "push \"l\", 0, \"Object\"\nnewObject\nsetVariable\n" + Var("l") +
        "push \"onMouseDown\"\nfunction \"\" ()\npush \"down\"\ntrace\nend\nsetMember\n" +
        Var("l") + "push 1\n" + Var("Mouse") +
        "push \"addListener\"\ncallMethod\npop\npush \"ready\"\ntrace\n";
    ProjectorPayload payload = MainWindowPayload("Press");
    payload.mainWindow.leftMouseAction = press.left;
    payload.mainWindow.rightMouseAction = press.right;
    ProjectorFolder folder;
    RunningProjector projector(folder, payload, Compile(MovieWithFrameOne(frameOne)));
    ASSERT_TRUE(projector.started());
    const HWND main = projector.window();
    projector.waitForTrace("ready");
    SetForegroundWindow(main);
    ASSERT_TRUE(uitest::WaitUntil([&] { return GetForegroundWindow() == main; }, 10000));

    const RECT before = uitest::WindowRectangle(main);
    POINT at{100, 50};
    ClientToScreen(main, &at);
    SetCursorPos(at.x, at.y);
    Sleep(100);
    mouse_event(press.rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    Sleep(200);
    for (int step = 1; step <= 4; ++step) {
        SetCursorPos(at.x + 10 * step, at.y + 8 * step);
        mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
        Sleep(100);
    }
    mouse_event(press.rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Sleep(500);

    EXPECT_EQ(OpenPopupMenu(projector.processId()), nullptr);
    const RECT after = uitest::WindowRectangle(main);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    const std::vector<std::string> lines = projector.traceLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "down"), press.movieHearsIt ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ProjectorMenuPress,
    ::testing::Values(
        PressCase{"LeftIgnore", MouseAction::Ignore, MouseAction::CustomMenu, false, true},
        PressCase{"LeftCustomMenu", MouseAction::CustomMenu, MouseAction::CustomMenu, false, true},
        PressCase{"RightDrag", MouseAction::Flash, MouseAction::Drag, true, false}),
    [](const ::testing::TestParamInfo<PressCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrel::e2e
