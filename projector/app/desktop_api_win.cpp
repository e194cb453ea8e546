#include "projector/app/desktop_api_win.h"

#include <memory>
#include <string_view>
#include <vector>

#include "common/callback_guard.h"
#include "projector/api/applescript_family.h"
#include "projector/api/application_family.h"
#include "projector/api/clipboard_family.h"
#include "projector/api/dialogs_family.h"
#include "projector/api/dll_family.h"
#include "projector/api/network_family.h"
#include "projector/api/system_family.h"
#include "projector/app/projector_window_win.h"

namespace kestrel::projector {
namespace {

BOOL CALLBACK CollectProjectorWindow(HWND window, LPARAM list) {
    // Called by the system: nothing may be thrown back into it.
    return GuardedCall<BOOL>(FALSE, [&] {
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (std::string_view(className) == kProjectorWindowClass)
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    });
}

// Every projector window lives on the main thread, which is the calling one.
std::vector<HWND> ProjectorWindowsOfThisThread() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectProjectorWindow,
                      reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace

DesktopApi::DesktopApi(ProjectorWindow& window)
    : dialogs_([&window] { return window.handle(); }, ProjectorWindowsOfThisThread),
      clipboard_([&window] { return window.handle(); }) {}

void DesktopApi::InstallInto(ApiDispatcher& dispatcher) {
    dispatcher.Install(ApiFamilyId::System, std::make_unique<SystemFamily>(system_));
    dispatcher.Install(ApiFamilyId::Dialogs, std::make_unique<DialogsFamily>(dialogs_));
    dispatcher.Install(ApiFamilyId::Network, std::make_unique<NetworkFamily>(network_));
    dispatcher.Install(ApiFamilyId::Clipboard, std::make_unique<ClipboardFamily>(clipboard_));
    dispatcher.Install(ApiFamilyId::Application, std::make_unique<ApplicationFamily>(application_));
    dispatcher.Install(ApiFamilyId::AppleScript, std::make_unique<AppleScriptFamily>());
    dispatcher.Install(ApiFamilyId::DLL, std::make_unique<DllFamily>());
}

}  // namespace kestrel::projector
