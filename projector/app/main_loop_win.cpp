#include "projector/app/main_loop_win.h"

#include <deque>
#include <utility>

#include "common/callback_guard.h"
#include "common/win_handles.h"

namespace kestrel::projector {
namespace {

// Work for the main thread goes to a hidden message-only window rather than to
// the thread's queue: every modal loop (message and dialog boxes, menus, the
// move and size loop of a drag) dispatches window messages, but drops thread
// messages, and a dropped URL completion never reaches the plug-in.
constexpr char kTaskWindowClass[] = "LK_KestrelSKTasks";

DWORD g_mainThreadId = 0;
DWORD g_workerThreadId = 0;
HWND g_taskWindow = nullptr;                               // lives as long as the main thread
std::deque<std::pair<ThreadTask, void*>> g_topLevelTasks;  // main thread only

void RunTask(WPARAM task, LPARAM argument) {
    auto function = reinterpret_cast<ThreadTask>(task);
    if (function) function(reinterpret_cast<void*>(argument));
}

LRESULT CALLBACK TaskWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A task that throws is dropped; the loop that dispatched it goes on.
    return GuardedCall<LRESULT>(0, [&]() -> LRESULT {
        if (message != kRunOnMainThreadMessage)
            return DefWindowProcA(window, message, wParam, lParam);
        RunTask(wParam, lParam);
        return 0;
    });
}

HWND CreateTaskWindow() {
    HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TaskWindowProcedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kTaskWindowClass;
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return CreateWindowExA(0, kTaskWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                           nullptr);
}

// Tasks queued meanwhile wait for the next turn.
void RunTopLevelTasks() {
    for (size_t count = g_topLevelTasks.size(); count > 0 && !g_topLevelTasks.empty(); --count) {
        const auto [task, argument] = g_topLevelTasks.front();
        g_topLevelTasks.pop_front();
        GuardedCall([task = task, argument = argument] { task(argument); });
    }
}

DWORD WINAPI WorkerThreadMain(LPVOID semaphore) {
    // Exit code 1 when a task throws: the thread ends, the process goes on.
    return GuardedCall<DWORD>(1, [semaphore]() -> DWORD {
        // Creates this thread's queue before the starter is released.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        ReleaseSemaphore(static_cast<HANDLE>(semaphore), 1, nullptr);
        while (GetMessageA(&message, nullptr, 0, 0) > 0 &&
               message.message == kRunOnWorkerThreadMessage)
            RunTask(message.wParam, message.lParam);
        return 0;
    });
}

}  // namespace

void SetMainThread() {
    g_mainThreadId = GetCurrentThreadId();
    // A window serves only the thread that made it; one made by an earlier
    // main thread (tests run several) is left to end with its thread.
    if (g_taskWindow && IsWindow(g_taskWindow) &&
        GetWindowThreadProcessId(g_taskWindow, nullptr) == g_mainThreadId)
        return;
    g_taskWindow = CreateTaskWindow();
}

bool StartWorkerThread() {
    KernelHandle semaphore(CreateSemaphoreA(nullptr, 0, 1, nullptr));
    if (!semaphore) return false;
    KernelHandle thread(
        CreateThread(nullptr, 0, WorkerThreadMain, semaphore.get(), 0, &g_workerThreadId));
    if (!thread) return false;
    WaitForSingleObject(semaphore.get(), INFINITE);
    return true;
}

bool PostToMainThread(ThreadTask task, void* argument) {
    const auto wParam = reinterpret_cast<WPARAM>(task);
    const auto lParam = reinterpret_cast<LPARAM>(argument);
    if (g_taskWindow && PostMessageA(g_taskWindow, kRunOnMainThreadMessage, wParam, lParam))
        return true;
    // Without the window only the main loop itself can run the task.
    return PostThreadMessageA(g_mainThreadId, kRunOnMainThreadMessage, wParam, lParam) != FALSE;
}

void RunAtTopLevel(ThreadTask task, void* argument) {
    if (!task) return;
    g_topLevelTasks.emplace_back(task, argument);
    // Wakes an idle main loop; a modal loop drops it, and the task waits for
    // the main loop's next turn all the same.
    PostThreadMessageA(g_mainThreadId, WM_NULL, 0, 0);
}

void RunMainLoop() {
    SetMainThread();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kRunOnWorkerThreadMessage) {
            PostThreadMessageA(g_workerThreadId, message.message, message.wParam, message.lParam);
        } else if (message.hwnd == nullptr && message.message == kRunOnMainThreadMessage) {
            GuardedCall([&message] { RunTask(message.wParam, message.lParam); });
        } else {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        RunTopLevelTasks();
    }
    RunTopLevelTasks();
}

void QuitMainLoop() {
    PostQuitMessage(0);
}

}  // namespace kestrel::projector
