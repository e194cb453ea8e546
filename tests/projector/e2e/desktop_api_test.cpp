// The System, Dialogs, Network, Clipboard, Application, AppleScript and DLL
// families through a real projector: a movie calls them and traces every
// answer; the test reads the clipboard, drives each dialog like a user (after
// checking who owns it and which projector windows are disabled) and checks
// what launching and the connection test did.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/net/base64.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/projector/e2e/call_script.h"
#include "tests/projector/e2e/running_projector_win.h"
#include "tests/support/loopback_http_server.h"

namespace kestrel::e2e {
namespace {

using skylet_test::ProjectorFolder;

constexpr DWORD kDialogTimeoutMs = 30000;

std::vector<std::string> DecodedList(const std::string& joined) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = joined.find(',', start);
        items.push_back(Base64Decode(joined.substr(start, comma - start)));
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

std::string B64(const std::string& text) {
    return Base64Encode(text);
}

// The next dialog of the projector owned by `owner`.
HWND WaitForOwnedDialog(DWORD processId, HWND owner) {
    return uitest::WaitForOwnedDialog(processId, owner, kDialogTimeoutMs);
}

bool Press(HWND dialog, int button) {
    uitest::PressButton(dialog, button);
    return uitest::WaitUntil([&] { return !IsWindow(dialog); }, kDialogTimeoutMs);
}

std::string ClipboardText() {
    std::string text = "(none)";
    for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ProjectorPayload TwoWindowPayload(ProjectorFolder& folder) {
    ProjectorPayload payload = MainWindowPayload("Desktop");
    WindowDefinition second = payload.mainWindow;
    second.name = "second";
    second.title = "Second";
    second.x = 300;
    second.moviePath = "still.swf";
    payload.mainWindow.additionalWindows.push_back(second);
    payload.windows.resize(2);
    payload.windows[1].moviePath =
        folder.writeFile("still.swf", skylet_test::BackgroundMovie(200, 100, 0, 128, 0));
    return payload;
}

TEST(DesktopApiMovie, SystemClipboardDialogsAndApplicationThroughARealProjector) {
    ProjectorFolder folder;
    const std::string work = folder.work();
    for (const char* name : {"a.txt", "b.txt"})
        ASSERT_TRUE(skylet_test::WriteWholeFile(JoinPath(work, name), {'x'}));
    const std::vector<uint8_t> helper = skylet_test::ReadWholeFile(LAUNCH_MARKER_EXE);
    ASSERT_FALSE(helper.empty());
    ASSERT_TRUE(skylet_test::WriteWholeFile(JoinPath(work, "helper.exe"), helper));
    ASSERT_TRUE(skylet_test::WriteWholeFile(JoinPath(work, "opener.exe"), helper));

    CallScript calls;
    calls.Call("width", "System.getScreenWidth")
        .Call("ramMB", "System.getRAMSizeMBytes")
        .Call("ramKB", "System.getRAMSizeKBytes")
        .Call("os", "System.getOSVersionString")
        .Call("osNumber", "System.getOSVersionNumber")
        .Call("windows", "System.isWindows")
        .Call("volumes", "System.getNumberOfVolumes")
        .Call("totalNull", "System.getTotalSpaceKBytes", {B64("null")})
        .Call("totalC", "System.getTotalSpaceKBytes", {B64("C:\\")})
        .Call("user", "System.getUserName")
        .Call("depth", "System.setScreenDepth", {"16"})
        .Call("balance", "System.getOutputSoundBalance")
        .Call("launch", "System.launchApplication", {B64("helper.exe")})
        .Call("launchMissing", "System.launchDocument", {B64("missing.exe")})
        .Call("openUrl", "Network.HTTP.openURL", {B64(JoinPath(work, "opener.exe"))})
        .Call("folder", "Application.getFolder")
        .Call("fullPath", "Application.getFullPath")
        .Call("dllOpen", "DLL.open", {B64("user32.dll")})
        .Call("dllCall", "DLL.call", {"1", "MessageBeep", "integer", "0"})
        .Call("script", "AppleScript.runScript", {B64("beep")})
        .Call("copy", "Clipboard.copyString", {B64("abc")})
        .Call("message", "Dialogs.messageBox", {B64("Question"), B64("Keep going?"), B64("yes_no")})
        .Call("clear", "Clipboard.clear")
        .Call("color", "Dialogs.chooseColor", {"255"})
        .Call("open1", "Dialogs.ChooseFile.new")
        .Call("set1", "Dialogs.ChooseFile.setDefaultFilename", {"1", B64(JoinPath(work, "b.txt"))})
        .Call("file", "Dialogs.ChooseFile.show", {"1"})
        .Call("open2", "Dialogs.ChooseFile.new")
        .Call("multi", "Dialogs.ChooseFile.setAllowMultiple", {"2", "true"})
        .Call("files", "Dialogs.ChooseFile.show", {"2"})
        .Call("save1", "Dialogs.SaveFile.new")
        .Call("setSave", "Dialogs.SaveFile.setDefaultFilename",
              {"1", B64(JoinPath(work, "new.txt"))})
        .Call("saved", "Dialogs.SaveFile.show", {"1"})
        .Call("folder1", "Dialogs.ChooseFolder.new")
        .Call("title", "Dialogs.ChooseFolder.setDialogTitle", {"1", B64("Where to?")})
        .Call("chosenFolder", "Dialogs.ChooseFolder.show", {"1"})
        .Call("error", "Dialogs.errorBox", {B64("Closing"), B64("Bye"), B64("ok")});

    RunningProjector projector(folder, TwoWindowPayload(folder),
                               Compile(calls.MovieInFrameThree()));
    ASSERT_TRUE(projector.started());
    const DWORD process = projector.processId();
    // By title: the runner knows whichever projector window showed first.
    HWND main = nullptr, second = nullptr;
    ASSERT_TRUE(uitest::WaitUntil(
        [&] {
            for (HWND window :
                 uitest::FindTopLevelWindows(process, "LK_KestrelSKWindow", "Desktop"))
                main = window;
            for (HWND window : uitest::FindTopLevelWindows(process, "LK_KestrelSKWindow", "Second"))
                second = window;
            return main && second;
        },
        kDialogTimeoutMs))
        << [&] {
               std::string all;
               for (HWND window : uitest::FindTopLevelWindows(process, nullptr, nullptr))
                   all += uitest::WindowClassName(window) + ":" + uitest::WindowText(window) +
                          (IsWindowVisible(window) ? "(v) " : " ");
               return all;
           }();

    // The message box: owned by the calling window, the other window disabled;
    // the clipboard holds what the movie copied just before.
    HWND box = WaitForOwnedDialog(process, main);
    ASSERT_NE(box, nullptr) << "no message box owned by the main window; the movie traced "
                            << ::testing::PrintToString(projector.traceLines());
    EXPECT_EQ(uitest::MessageBoxText(box), "Keep going?");
    EXPECT_EQ(uitest::WindowText(box), "Question");
    EXPECT_FALSE(IsWindowEnabled(second)) << "the other projector window must be disabled";
    EXPECT_EQ(ClipboardText(), "abc");
    // Closing the other window now waits until no dialog is open any more
    // (the movie goes on to show more in the same call out).
    uitest::CloseWindowPolitely(second);
    Sleep(500);
    EXPECT_TRUE(IsWindow(second));
    ASSERT_TRUE(Press(box, IDNO));

    HWND color = WaitForOwnedDialog(process, main);
    ASSERT_NE(color, nullptr) << "no colour dialog";
    EXPECT_EQ(ClipboardText(), "") << "clear leaves the empty text";
    ASSERT_TRUE(Press(color, IDOK));

    HWND open = WaitForOwnedDialog(process, main);
    ASSERT_NE(open, nullptr) << "no open-file dialog";
    ASSERT_TRUE(Press(open, IDOK));

    HWND openMany = WaitForOwnedDialog(process, main);
    ASSERT_NE(openMany, nullptr) << "no multiple-selection dialog";
    HWND nameBox = GetDlgItem(openMany, 0x480);           // edt1
    if (!nameBox) nameBox = GetDlgItem(openMany, 0x47c);  // cmb13
    ASSERT_NE(nameBox, nullptr);
    const std::string names = "\"a.txt\" \"b.txt\"";
    SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names.c_str()));
    ASSERT_TRUE(Press(openMany, IDOK));

    HWND save = WaitForOwnedDialog(process, main);
    ASSERT_NE(save, nullptr) << "no save-file dialog";
    ASSERT_TRUE(Press(save, IDOK));

    HWND browse = WaitForOwnedDialog(process, main);
    ASSERT_NE(browse, nullptr) << "no folder browser";
    EXPECT_NE(uitest::FindChildWithText(browse, "Where to?"), nullptr)
        << "the title is the browser's instruction";
    ASSERT_TRUE(Press(browse, IDCANCEL));

    // Closing the projector while its movie's call shows a box: the window
    // goes only after the call has returned, and the projector ends cleanly.
    HWND error = WaitForOwnedDialog(process, main);
    ASSERT_NE(error, nullptr) << "no error box";
    uitest::CloseWindowPolitely(main);
    Sleep(500);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_TRUE(IsWindow(second));
    ASSERT_TRUE(Press(error, IDOK));
    EXPECT_TRUE(uitest::WaitUntil([&] { return !IsWindow(second); }, kDialogTimeoutMs))
        << "the deferred close never happened";
    uint32_t exitCode = 1;
    EXPECT_TRUE(projector.waitForExit(30000, &exitCode));
    EXPECT_EQ(exitCode, 0u);

    std::map<std::string, std::string> answers = Answers(projector.traceLines());
    EXPECT_EQ(answers["width"], std::to_string(GetSystemMetrics(SM_CXSCREEN)));
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatusEx(&memory);
    EXPECT_EQ(answers["ramMB"], std::to_string(memory.ullTotalPhys >> 20));
    EXPECT_EQ(answers["ramKB"], std::to_string(memory.ullTotalPhys >> 10));
    EXPECT_EQ(Base64Decode(answers["os"]).rfind("Microsoft Windows ", 0), 0u)
        << Base64Decode(answers["os"]);
    EXPECT_NE(answers["osNumber"], "0");
    EXPECT_EQ(answers["windows"], "true");
    EXPECT_NE(answers["volumes"], "0");
    EXPECT_NE(answers["totalNull"], "0") << "null means the current drive";
    EXPECT_NE(answers["totalC"], "0");
    EXPECT_FALSE(Base64Decode(answers["user"]).empty());
    EXPECT_EQ(answers["depth"], "false");
    EXPECT_EQ(answers["balance"], "undefined");
    EXPECT_EQ(answers["launch"], "true");
    EXPECT_EQ(answers["launchMissing"], "false");
    EXPECT_EQ(answers["openUrl"], "true");
    EXPECT_TRUE(
        uitest::WaitUntil([&] { return Exists(JoinPath(work, "helper.exe.marker")); }, 20000))
        << "the relative path was launched from the projector's folder";
    EXPECT_TRUE(
        uitest::WaitUntil([&] { return Exists(JoinPath(work, "opener.exe.marker")); }, 20000));
    EXPECT_EQ(Base64Decode(answers["folder"]), work);
    EXPECT_EQ(Base64Decode(answers["fullPath"]), JoinPath(work, "projector.exe"));
    EXPECT_EQ(answers["dllOpen"], "0");
    EXPECT_EQ(answers["dllCall"], "false");
    EXPECT_EQ(answers["script"], "false");
    EXPECT_EQ(answers["copy"], "undefined");
    EXPECT_EQ(answers["message"], "no");
    EXPECT_EQ(answers["color"], "0x0000ff");
    EXPECT_EQ(answers["open1"], "1");
    EXPECT_EQ(DecodedList(answers["file"]), (std::vector<std::string>{JoinPath(work, "b.txt")}));
    EXPECT_EQ(answers["open2"], "2");
    EXPECT_EQ(DecodedList(answers["files"]),
              (std::vector<std::string>{JoinPath(work, "a.txt"), "b.txt"}));
    EXPECT_EQ(Base64Decode(answers["saved"]), JoinPath(work, "new.txt"));
    EXPECT_EQ(answers["chosenFolder"], "undefined");
    EXPECT_EQ(answers["error"], "null");
    EXPECT_EQ(answers.count("done"), 0u);
    const std::vector<std::string> lines = projector.traceLines();
    EXPECT_FALSE(lines.empty()) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines.empty() ? "" : lines.back(), "done");
}

// The connection test goes to its fixed address through the proxy that the
// projector's environment names: a loopback server stands for the internet.
std::string ConnectionAnswer(const std::string& proxy) {
    CallScript calls;
    calls.Call("online", "Network.checkConnection");
    ProjectorFolder folder;
    RunningProjector projector(folder, MainWindowPayload("Network"),
                               Compile(calls.MovieInFrameThree()), {{"http_proxy", proxy}});
    EXPECT_TRUE(projector.started());
    return Answers(projector.waitForTrace("done", 60000))["online"];
}

TEST(DesktopApiMovie, ConnectionTestAgainstALoopbackServerAndAClosedPort) {
    test::LoopbackHttpServer server;
    server.SetHandler([](const test::ReceivedRequest&) { return std::string("<html>up</html>"); });
    ASSERT_TRUE(server.Listening());
    EXPECT_EQ(ConnectionAnswer("http://127.0.0.1:" + std::to_string(server.Port())), "true");
    const std::vector<test::ReceivedRequest> requests = server.Requests();
    ASSERT_FALSE(requests.empty()) << "the test page was not asked for through the proxy";
    EXPECT_NE(requests[0].path.find("www.example.com"), std::string::npos) << requests[0].path;
    // Port 1 on loopback refuses connections.
    EXPECT_EQ(ConnectionAnswer("http://127.0.0.1:1"), "false");
}

}  // namespace
}  // namespace kestrel::e2e
