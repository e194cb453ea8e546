// The projector's two threads: the main thread's message loop, which also runs
// every window and every plug-in call, and an idle worker thread.
#pragma once

#include <windows.h>

namespace kestrel::projector {

// Private messages: the first parameter is a function, the second its argument.
// 1277 goes to the main thread's hidden task window (a thread message only when
// that window is missing), 1278 to the worker thread's queue.
constexpr UINT kRunOnMainThreadMessage = 1277;
constexpr UINT kRunOnWorkerThreadMessage = 1278;

using ThreadTask = void (*)(void* argument);

// Records the calling thread as the main thread and makes the hidden window
// that receives its posted work.
void SetMainThread();

// Starts the worker thread and returns once its queue exists, so nothing
// posted to it afterwards is lost. The thread runs until the process ends.
bool StartWorkerThread();

// Runs `task(argument)` on the main thread after the current message has been
// handled, also while a modal loop (a dialog, a message box, a menu) runs.
// Used for work that must not run inside a plug-in call.
bool PostToMainThread(ThreadTask task, void* argument);

// Runs `task(argument)` from the main loop itself, once the message being
// handled has returned to it: never inside a modal loop, so no window
// procedure is still running then. For freeing an object whose procedure may
// be on the stack below a modal loop (a window that was closed meanwhile).
void RunAtTopLevel(ThreadTask task, void* argument);

// Runs until QuitMainLoop() (or any WM_QUIT).
void RunMainLoop();
void QuitMainLoop();

}  // namespace kestrel::projector
