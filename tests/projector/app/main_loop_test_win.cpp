// Work posted to the main thread runs while a modal loop owns the thread: a
// message box and a dialog box each run their own loop, which dispatches
// window messages only. A watchdog ends a loop whose task never came, so a
// lost task fails the test instead of hanging it. A URL request's completion
// is such work.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "common/win_handles.h"
#include "projector/app/host_surface_win.h"
#include "projector/app/main_loop_win.h"
#include "projector/app/plugin_instance_win.h"
#include "projector/app/plugin_url_request_win.h"
#include "projector/bridge/script_bridge.h"
#include "tests/projector/app/fake_plugin_win.h"

namespace kestrel::projector {
namespace {

constexpr char kBoxCaption[] = "Kestrel modal loop";
constexpr wchar_t kBoxCaptionWide[] = L"Kestrel modal loop";
constexpr DWORD kWatchdogMs = 20000;
constexpr int kMaxReposts = 50;

bool IsTheBox(HWND window) {
    char text[64] = "";
    GetWindowTextA(window, text, sizeof text);
    return std::strcmp(text, kBoxCaption) == 0;
}

BOOL CALLBACK NoteTheBox(HWND window, LPARAM found) {
    if (IsTheBox(window)) *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

HWND FindTheBox(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(thread, NoteTheBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct TaskRecord {
    int runs = 0;
    bool ranInsideTheLoop = false;
};

// Runs from the modal loop: notes that it ran, then ends the loop by pressing
// the box's button. Until the box exists it asks to run again.
void EndTheModalLoop(void* argument) {
    auto* record = static_cast<TaskRecord*>(argument);
    ++record->runs;
    HWND box = FindTheBox(GetCurrentThreadId());
    if (!box) {
        if (record->runs < kMaxReposts) PostToMainThread(EndTheModalLoop, record);
        return;
    }
    record->ranInsideTheLoop = true;
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Closes the box from another thread when the task has not done it in time.
class Watchdog {
  public:
    Watchdog()
        : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          mainThread_(GetCurrentThreadId()),
          thread_(CreateThread(nullptr, 0, &Watchdog::Main, this, 0, nullptr)) {}
    ~Watchdog() {
        SetEvent(done_.get());
        WaitForSingleObject(thread_.get(), INFINITE);
    }

  private:
    static DWORD WINAPI Main(LPVOID self) {
        auto* watchdog = static_cast<Watchdog*>(self);
        while (WaitForSingleObject(watchdog->done_.get(), kWatchdogMs) == WAIT_TIMEOUT) {
            if (HWND box = FindTheBox(watchdog->mainThread_)) PostMessageA(box, WM_CLOSE, 0, 0);
        }
        return 0;
    }

    KernelHandle done_;
    DWORD mainThread_;
    KernelHandle thread_;
};

INT_PTR CALLBACK PlainDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// A dialog without controls, built in memory as DialogBoxIndirect wants it.
void RunDialogBox() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3 +
                            sizeof kBoxCaptionWide / sizeof(WORD));
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
    dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    dialog->cx = 120;
    dialog->cy = 40;
    WORD* after = words.data() + sizeof(DLGTEMPLATE) / sizeof(WORD);
    after[0] = 0;  // no menu
    after[1] = 0;  // the standard dialog class
    std::memcpy(after + 2, kBoxCaptionWide, sizeof kBoxCaptionWide);
    DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog, nullptr, PlainDialogProcedure, 0);
}

void RunMessageBox() {
    MessageBoxA(nullptr, "Waiting for posted work", kBoxCaption, MB_OK);
}

struct ModalLoop {
    const char* name;
    void (*run)();
};

void PrintTo(const ModalLoop& loop, std::ostream* out) {
    *out << loop.name;
}

const ModalLoop kModalLoops[] = {
    {"MessageBox", RunMessageBox},
    {"DialogBox", RunDialogBox},
};

class PostedWorkInModalLoop : public testing::TestWithParam<ModalLoop> {};

TEST_P(PostedWorkInModalLoop, RunsBeforeTheLoopEnds) {
    SetMainThread();
    TaskRecord record;
    ASSERT_TRUE(PostToMainThread(EndTheModalLoop, &record));
    {
        Watchdog watchdog;
        GetParam().run();
    }
    EXPECT_TRUE(record.ranInsideTheLoop) << "runs: " << record.runs;
    // Nothing of it is left for the main loop.
    const int runs = record.runs;
    QuitMainLoop();
    RunMainLoop();
    EXPECT_EQ(record.runs, runs);
}

INSTANTIATE_TEST_SUITE_P(Loops, PostedWorkInModalLoop, testing::ValuesIn(kModalLoops),
                         [](const testing::TestParamInfo<ModalLoop>& info) {
                             return std::string(info.param.name);
                         });

TEST(PostedWork, RunsInOrderFromTheMainLoop) {
    SetMainThread();
    std::vector<int> order;
    struct Step {
        std::vector<int>* order;
        int number;
    };
    Step steps[] = {{&order, 1}, {&order, 2}, {&order, 3}};
    for (Step& step : steps)
        PostToMainThread(
            [](void* s) { static_cast<Step*>(s)->order->push_back(static_cast<Step*>(s)->number); },
            &step);
    EXPECT_TRUE(order.empty()) << "posted work waits for the loop";
    QuitMainLoop();
    RunMainLoop();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(PostedWork, AThrowingTaskLeavesTheLoopRunning) {
    SetMainThread();
    int ranAfter = 0;
    PostToMainThread([](void*) { throw std::runtime_error("task failed"); }, nullptr);
    PostToMainThread([](void* count) { ++*static_cast<int*>(count); }, &ranAfter);
    QuitMainLoop();
    RunMainLoop();
    EXPECT_EQ(ranAfter, 1);
}

// Every fetch answers the same text.
class FixedAnswerHost : public ScriptHost {
  public:
    std::optional<std::string> CallHost(std::string_view, const std::string_view*,
                                        std::size_t) override {
        return std::string("<a/>");
    }
    std::string MovieLocation() const override { return "empty"; }
};

struct CompletionSeen {
    TaskRecord record;
    std::vector<std::string> callsBeforeTheLoopEnded;
};

// Posted after the request: runs once its completion has run.
void NoteTheCompletionThenEnd(void* argument) {
    auto* seen = static_cast<CompletionSeen*>(argument);
    if (seen->record.runs == 0) {
        for (const auto& call : test::TheFakePlugin().calls)
            if (call.what != "writeready" && call.what != "write")
                seen->callsBeforeTheLoopEnded.push_back(call.what);
    }
    EndTheModalLoop(&seen->record);
}

TEST(PostedWork, AUrlCompletionReachesThePluginWhileAMessageBoxIsOpen) {
    SetMainThread();
    test::TheFakePlugin().reset();
    OwnedWindow window(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr));
    NPPluginFuncs functions = test::FakePluginFunctions();
    {
        OpaqueSurface surface(window.get(), 10, 10);
        surface.create();
        PluginInstance instance(functions, surface);
        ASSERT_TRUE(instance.start());
        FixedAnswerHost host;
        instance.setScriptHost(&host);
        test::TheFakePlugin().calls.clear();

        ASSERT_EQ(StartUrlRequest(instance.npp(), "data/a.xml", nullptr, 0, nullptr),
                  NPERR_NO_ERROR);
        EXPECT_TRUE(test::TheFakePlugin().received.empty()) << "completion comes later";
        CompletionSeen seen;
        ASSERT_TRUE(PostToMainThread(NoteTheCompletionThenEnd, &seen));
        {
            Watchdog watchdog;
            RunMessageBox();
        }
        EXPECT_TRUE(seen.record.ranInsideTheLoop);
        EXPECT_EQ(seen.callsBeforeTheLoopEnded,
                  (std::vector<std::string>{"newstream", "urlnotify", "destroystream"}));
        EXPECT_EQ(test::TheFakePlugin().received, "<a/>");
        const auto notified = test::TheFakePlugin().callsOf("urlnotify");
        ASSERT_EQ(notified.size(), 1u);
        EXPECT_EQ(notified[0].offset, NPRES_DONE);
    }
}

// Work that frees what a procedure below a modal loop may still use waits for
// the main loop itself.
int g_topLevelRuns = 0;
int g_procedureDepth = 0;
int g_depthAtTopLevelRun = -1;

void CountTopLevelRun(void*) {
    ++g_topLevelRuns;
    g_depthAtTopLevelRun = g_procedureDepth;
}

void QueueThenEndTheModalLoop(void* argument) {
    if (static_cast<TaskRecord*>(argument)->runs == 0) RunAtTopLevel(CountTopLevelRun, nullptr);
    EndTheModalLoop(argument);
}

TEST(TopLevelWork, WaitsUntilTheModalLoopHasEndedAndTheMainLoopRuns) {
    SetMainThread();
    g_topLevelRuns = 0;
    TaskRecord record;
    ASSERT_TRUE(PostToMainThread(QueueThenEndTheModalLoop, &record));
    {
        Watchdog watchdog;
        RunMessageBox();
    }
    ASSERT_TRUE(record.ranInsideTheLoop);
    EXPECT_EQ(g_topLevelRuns, 0) << "a modal loop must not run it";
    QuitMainLoop();
    RunMainLoop();
    EXPECT_EQ(g_topLevelRuns, 1);
}

LRESULT CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP) return DefWindowProcA(window, message, wParam, lParam);
    ++g_procedureDepth;
    RunAtTopLevel(CountTopLevelRun, nullptr);
    --g_procedureDepth;
    return 0;
}

TEST(TopLevelWork, RunsAfterTheProcedureThatQueuedItHasReturned) {
    SetMainThread();
    g_topLevelRuns = 0;
    g_depthAtTopLevelRun = -1;
    WNDCLASSA probeClass{};
    probeClass.lpfnWndProc = ProbeProcedure;
    probeClass.hInstance = GetModuleHandleA(nullptr);
    probeClass.lpszClassName = "KestrelMainLoopProbe";
    RegisterClassA(&probeClass);
    OwnedWindow probe(CreateWindowExA(0, "KestrelMainLoopProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(probe);
    PostMessageA(probe.get(), WM_APP, 0, 0);
    QuitMainLoop();
    RunMainLoop();
    EXPECT_EQ(g_topLevelRuns, 1);
    EXPECT_EQ(g_depthAtTopLevelRun, 0);
}

}  // namespace
}  // namespace kestrel::projector
