#include "projector/app/main_loop_win.h"

#include "projector/app/win_handle.h"

namespace kestrel::projector {
namespace {

DWORD g_mainThreadId = 0;
DWORD g_workerThreadId = 0;

void RunTask(const MSG& message) {
    auto task = reinterpret_cast<ThreadTask>(message.wParam);
    if (task) task(reinterpret_cast<void*>(message.lParam));
}

DWORD WINAPI WorkerThreadMain(LPVOID semaphore) {
    // Creates this thread's queue before the starter is released.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    ReleaseSemaphore(static_cast<HANDLE>(semaphore), 1, nullptr);
    while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message == kRunOnWorkerThreadMessage)
        RunTask(message);
    return 0;
}

}  // namespace

void SetMainThread() { g_mainThreadId = GetCurrentThreadId(); }

bool StartWorkerThread() {
    KernelHandle semaphore(CreateSemaphoreA(nullptr, 0, 1, nullptr));
    if (!semaphore) return false;
    KernelHandle thread(CreateThread(nullptr, 0, WorkerThreadMain, semaphore.get(), 0, &g_workerThreadId));
    if (!thread) return false;
    WaitForSingleObject(semaphore.get(), INFINITE);
    return true;
}

bool PostToMainThread(ThreadTask task, void* argument) {
    return PostThreadMessageA(g_mainThreadId, kRunOnMainThreadMessage, reinterpret_cast<WPARAM>(task),
                              reinterpret_cast<LPARAM>(argument)) != FALSE;
}

void RunMainLoop() {
    SetMainThread();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kRunOnWorkerThreadMessage) {
            PostThreadMessageA(g_workerThreadId, message.message, message.wParam, message.lParam);
        } else if (message.hwnd == nullptr && message.message == kRunOnMainThreadMessage) {
            RunTask(message);
        } else {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void QuitMainLoop() { PostQuitMessage(0); }

}  // namespace kestrel::projector
