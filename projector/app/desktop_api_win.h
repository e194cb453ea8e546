// The system calls behind the System, Dialogs, Network, Clipboard,
// Application, AppleScript and DLL families of one projector window, and
// their installation into the window's API dispatcher.
#pragma once

#include <windows.h>

#include "projector/api/api_dispatcher.h"
#include "projector/api/desktop_services_win.h"
#include "projector/api/dialog_services_win.h"
#include "projector/api/system_services_win.h"

namespace kestrel::projector {

class ProjectorWindow;

class DesktopApi {
  public:
    // The window outlives this object.
    explicit DesktopApi(ProjectorWindow& window);
    DesktopApi(const DesktopApi&) = delete;
    DesktopApi& operator=(const DesktopApi&) = delete;

    // The families keep references to the services here: this object must
    // outlive the dispatcher's use of them.
    void InstallInto(ApiDispatcher& dispatcher);

  private:
    SystemServicesWin system_;
    DialogServicesWin dialogs_;
    NetworkServicesWin network_;
    ClipboardServicesWin clipboard_;
    ApplicationServicesWin application_;
};

}  // namespace kestrel::projector
