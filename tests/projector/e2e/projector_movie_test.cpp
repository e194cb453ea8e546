// Projectors run for real under Wine with the real npfp.dll: what the movie saw
// (through its trace file), what it fetched, and what the window showed.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/projector_payload.h"
#include "tests/player/shell/movie_script_text.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/projector/e2e/running_projector_win.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/ui_test_support.h"
#include "tools/swfwriter/description.h"

namespace kestrel::e2e {
namespace {

using shell_test::CallOut;
using shell_test::MovieWithFrameOne;
using skylet_test::ProjectorFolder;

TEST(ProjectorMovie, CallsOutGetsResultsAndReceivesEvents) {
    const std::string frameOne =
        shell_test::AddCallback("apiInitFinished", "",
                                "push \"init\"\ntrace\n" + CallOut("", "Api.onInit") +
                                    "push \"after onInit\"\ntrace\n") +
        shell_test::AddCallback("addWindowForm", "\"n\"", Trace("add:", Var("n"))) +
        shell_test::AddCallback("setThisWindowForm", "\"n\"", Trace("this:", Var("n"))) +
        CallOut("p", "Window.getPosition", {"\"main\""}) +
        Trace("pos:", Member("p", "x") + "push \",\"\nadd2\n" + Member("p", "y") + "add2\n") +
        CallOut("t", "Window.getTitle", {"\"main\""}) + Trace("title:", Var("t")) +
        CallOut("m", "Window.isMaximized", {"\"main\""}) + Trace("max:", Var("m")) +
        CallOut("w", "Window.getWidth", {"\"main\""}) + Trace("width:", Var("w") + "typeOf\n") +
        CallOut("c", "Window.center", {"\"main\""}) + Trace("center:", Var("c") + "typeOf\n") +
        CallOut("u", "Nothing.here") + Trace("unknown:", Var("u") + "typeOf\n") +
        CallOut("", "Window.setPosition", {"\"main\"", "60", "70"}) +
        CallOut("p", "Window.getPosition", {"\"main\""}) +
        Trace("pos2:", Member("p", "x") + "push \",\"\nadd2\n" + Member("p", "y") + "add2\n");
    ProjectorPayload payload = MainWindowPayload("Hello");
    WindowDefinition second = payload.mainWindow;
    second.name = "second";
    second.visible = false;
    second.moviePath.clear();
    payload.mainWindow.additionalWindows.push_back(second);
    payload.windows.resize(2);

    ProjectorFolder folder;
    RunningProjector projector(folder, payload, Compile(MovieWithFrameOne(frameOne)));
    ASSERT_TRUE(projector.started());
    const std::vector<std::string> lines = projector.waitForTrace("after onInit");
    const std::vector<std::string> expected = {
        "pos:40,40",        "title:SGVsbG8=",    "max:false",       "width:number",
        "center:undefined", "unknown:undefined", "pos2:60,70",      "init",
        "add:main",         "add:second",        "this:WindowForm", "after onInit"};
    EXPECT_EQ(lines, expected);
}

// One XML object per address, reporting label:data (or label:length) from onData.
std::string LoadInto(const std::string& variable, const std::string& className,
                     const std::string& label, bool lengthOnly) {
    const std::string shown = lengthOnly ? Member("s", "length") : Var("s");
    return "push \"" + variable + "\", 0, \"" + className + "\"\nnewObject\nsetVariable\n" +
           Var(variable) + "push \"onData\"\nfunction \"\" (\"s\")\n" + Trace(label + ":", shown) +
           "end\nsetMember\n";
}
std::string Load(const std::string& variable, const std::string& url) {
    return "push \"" + url + "\", 1\n" + Var(variable) + "push \"load\"\ncallMethod\npop\n";
}

TEST(ProjectorMovie, LoadsFilesHttpAndJavascriptAddresses) {
    const std::string big(1100000, 'b');
    test::LoopbackHttpServer server;
    server.SetHandler([&](const test::ReceivedRequest& request) -> std::string {
        if (request.path.rfind("/big", 0) == 0) return big;
        if (request.method == "POST") return "posted=" + request.body;
        return "got " + request.path;
    });
    ASSERT_TRUE(server.Listening());
    const std::string base = server.Url("");
    const std::string frameOne =
        LoadInto("a", "XML", "slash", false) + Load("a", "data/a.xml") +
        LoadInto("b", "XML", "backslash", false) + Load("b", "data\\\\a.xml") +
        LoadInto("g", "XML", "get", false) + Load("g", base + "/get?x=1") +
        LoadInto("big", "XML", "big", true) + Load("big", base + "/big") +
        LoadInto("j", "XML", "js", false) + Load("j", "javascript:window.location") +
        LoadInto("r", "LoadVars", "post", false) +
        "push \"out\", 0, \"LoadVars\"\nnewObject\nsetVariable\n" + Var("out") +
        "push \"k\", \"v\"\nsetMember\npush \"POST\"\n" + Var("r") + "push \"" + base +
        "/post\", 3\n" + Var("out") + "push \"sendAndLoad\"\ncallMethod\npop\n";

    ProjectorFolder folder;
    const std::string dataFolder = JoinPath(folder.work(), "data");
    MakeDirectory(dataFolder);
    ASSERT_TRUE(skylet_test::WriteWholeFile(JoinPath(dataFolder, "a.xml"), {'<', 'a', '/', '>'}));
    ProjectorPayload payload = MainWindowPayload("Loads");
    payload.windows.resize(1);
    payload.windows[0].attachments.push_back({dataFolder, true});
    RunningProjector projector(folder, payload, Compile(MovieWithFrameOne(frameOne)));
    ASSERT_TRUE(projector.started());

    std::vector<std::string> lines;
    uitest::WaitUntil([&] { return (lines = projector.traceLines()).size() >= 6; }, 30000);
    ASSERT_EQ(lines.size(), 6u) << ::testing::PrintToString(lines);
    // The javascript: answer names the instance; the rest arrive in any order.
    auto js = std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.rfind("js:", 0) == 0; });
    ASSERT_NE(js, lines.end());
    EXPECT_EQ(js->rfind("js:file://", 0), 0u) << *js;
    EXPECT_EQ(js->size() - js->rfind("__flashplugin_unique__"),
              std::strlen("__flashplugin_unique__"))
        << *js;
    lines.erase(js);
    std::sort(lines.begin(), lines.end());
    const std::vector<std::string> expected = {"backslash:<a/>", "big:1100000", "get:got /get?x=1",
                                               "post:posted=k=v", "slash:<a/>"};
    EXPECT_EQ(lines, expected);

    bool sawPost = false;
    for (const test::ReceivedRequest& request : server.Requests()) {
        if (request.method != "POST") continue;
        sawPost = true;
        EXPECT_EQ(request.body, "k=v");
        const auto type = request.headers.find("content-type");
        EXPECT_TRUE(type != request.headers.end() &&
                    type->second == "application/x-www-form-urlencoded")
            << "the movie's Content-Type header must reach the server";
    }
    EXPECT_TRUE(sawPost);
}

// Frames 1..6 fill the stage with these colours at 2 frames per second; frame 6 stops.
const COLORREF kFrameColors[] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                                 RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255)};

int FrameOfColor(COLORREF color) {
    for (int i = 0; i < 6; ++i)
        if (kFrameColors[i] == color) return i + 1;
    return 0;
}

TEST(ProjectorMovie, AnimationShowsTheTimelinesFramesOverTime) {
    std::ostringstream movie;
    movie << "version 8\nstage 200 100\nrate 2\nbackground #FFFFFF\n";
    for (int i = 0; i < 6; ++i) {
        char color[8];
        std::snprintf(color, sizeof color, "#%02X%02X%02X", GetRValue(kFrameColors[i]),
                      GetGValue(kFrameColors[i]), GetBValue(kFrameColors[i]));
        movie << "shape " << i + 1 << "\n  fill " << color << "\n  rect 0 0 200 100 fill=1\nend\n";
        movie << (i == 0 ? "place " : "replace ") << i + 1 << " depth=1\n";
        if (i == 5) movie << "action\nstop\nend\n";
        movie << "showframe\n";
    }
    ProjectorFolder folder;
    RunningProjector projector(folder, MainWindowPayload("Animation"), Compile(movie.str()));
    ASSERT_TRUE(projector.started());
    ASSERT_TRUE(uitest::WaitUntil(
        [&] { return FrameOfColor(uitest::ReadClientPixel(projector.window(), 100, 50)) == 1; },
        20000))
        << "frame 1 never showed";
    // Frame 1 is up: 1.1 s later the timeline has moved on by two frames (one either way for a busy
    // machine).
    const DWORD shown = GetTickCount();
    Sleep(1100);
    const int later = FrameOfColor(uitest::ReadClientPixel(projector.window(), 100, 50));
    const DWORD elapsed = GetTickCount() - shown;
    EXPECT_GE(later, 2) << "after " << elapsed << " ms";
    EXPECT_LE(later, 4) << "after " << elapsed << " ms";
    // The last frame stops the movie and stays.
    EXPECT_TRUE(uitest::WaitUntil(
        [&] { return FrameOfColor(uitest::ReadClientPixel(projector.window(), 100, 50)) == 6; },
        10000));
    Sleep(1000);
    EXPECT_EQ(FrameOfColor(uitest::ReadClientPixel(projector.window(), 100, 50)), 6);
}

// Stage under noScale in a real window: its size is the plug-in's area, a resize is heard
// as onResize, and the movie is drawn unscaled at the alignment the script chose.
TEST(ProjectorMovie, StageUnderNoScaleFollowsTheWindow) {
    const std::string stageSize =
        Member("Stage", "width") + "push \"x\"\nadd2\n" + Member("Stage", "height") + "add2\n";
    const std::string frameOne =
        Trace("before ", stageSize) + Trace("mode ", Member("Stage", "scaleMode")) +
        "push \"Stage\"\ngetVariable\npush \"scaleMode\", \"noScale\"\nsetMember\n"
        "push \"Stage\"\ngetVariable\npush \"align\", \"TL\"\nsetMember\n"
        "push \"l\", 0, \"Object\"\nnewObject\nsetVariable\n"
        "push \"l\"\ngetVariable\npush \"onResize\"\nfunction \"\"\n" +
        Trace("resize ", stageSize) + "end\nsetMember\n" +
        "push \"l\"\ngetVariable\npush 1, \"Stage\"\ngetVariable\npush \"addListener\"\n"
        "callMethod\npop\n" +
        Trace("after ", stageSize) + Trace("url ", Var("_url")) + "push \"ready\"\ntrace\nstop\n";
    // A red square at the stage's top-left corner, on a 320 x 240 stage.
    const std::string movie =
        "version 8\nstage 320 240\nrate 10\nbackground #FFFFFF\n"
        "shape 1\n  fill #FF0000\n  rect 0 0 20 20 fill=1\nend\n"
        "place 1 depth=1\naction\n" +
        frameOne + "end\nshowframe\n";
    ProjectorFolder folder;
    RunningProjector projector(folder, MainWindowPayload("Stage"), Compile(movie));
    ASSERT_TRUE(projector.started());
    std::vector<std::string> lines = projector.waitForTrace("ready", 30000);
    RECT client{};
    GetClientRect(projector.window(), &client);
    const std::string area = std::to_string(client.right) + "x" + std::to_string(client.bottom);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "before 320x240");
    EXPECT_EQ(lines[1], "mode showAll");
    EXPECT_EQ(lines[2], "after " + area);
    EXPECT_EQ(lines[3].rfind("url file:///", 0), 0u) << lines[3];
    EXPECT_NE(lines[3].find("/movie.swf"), std::string::npos) << lines[3];
    // Unscaled at the top-left: the square covers (5, 5) and not (25, 25).
    EXPECT_TRUE(uitest::WaitUntil(
        [&] { return uitest::ReadClientPixel(projector.window(), 5, 5) == RGB(255, 0, 0); },
        10000));
    EXPECT_EQ(uitest::ReadClientPixel(projector.window(), 25, 25), RGB(255, 255, 255));

    RECT outer{};
    GetWindowRect(projector.window(), &outer);
    SetWindowPos(projector.window(), nullptr, 0, 0, outer.right - outer.left + 60,
                 outer.bottom - outer.top + 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(projector.window(), &client);
    const std::string resized =
        "resize " + std::to_string(client.right) + "x" + std::to_string(client.bottom);
    lines = projector.waitForTrace(resized, 20000);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), resized), 1) << lines.back();
}

// A layered window has no drawing of its own to read: take the pixel from the screen.
COLORREF ReadScreenPixelOf(HWND window, int x, int y) {
    POINT at{x, y};
    ClientToScreen(window, &at);
    kestrel::WindowDC screen;
    return screen ? GetPixel(screen.get(), at.x, at.y) : CLR_INVALID;
}

TEST(ProjectorMovie, TransparentWindowShowsOnlyTheMoviesShapes) {
    // A red square on the left half of the stage; the right half holds nothing but
    // the movie's white background, which a transparent window does not show.
    const std::string movie =
        "version 8\nstage 200 100\nrate 10\nbackground #FFFFFF\nshape 1\n  fill #FF0000\n"
        "  rect 0 0 100 100 fill=1\nend\nplace 1 depth=1\nshowframe\n";
    ProjectorPayload payload = MainWindowPayload("Transparent");
    payload.mainWindow.type = WindowType::Transparent;
    ProjectorFolder folder;
    RunningProjector projector(folder, payload, Compile(movie));
    ASSERT_TRUE(projector.started());
    COLORREF inside = CLR_INVALID;
    EXPECT_TRUE(uitest::WaitUntil(
        [&] { return (inside = ReadScreenPixelOf(projector.window(), 50, 50)) == RGB(255, 0, 0); },
        20000))
        << std::hex << inside;
    // Outside the shape the screen below shows through: neither the shape nor the stage colour.
    const COLORREF outside = ReadScreenPixelOf(projector.window(), 150, 50);
    EXPECT_NE(outside, RGB(255, 0, 0));
    EXPECT_NE(outside, RGB(255, 255, 255)) << "the movie's background must not be drawn";
}

}  // namespace
}  // namespace kestrel::e2e
