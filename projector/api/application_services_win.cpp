#include "projector/api/desktop_services_win.h"
#include "projector/api/system_services_win.h"

namespace kestrel {

std::string ApplicationServicesWin::ProgramPath() {
    return RunningProgramPath();
}

// The main loop ends on the quit message, after this call has returned.
void ApplicationServicesWin::Quit() {
    PostQuitMessage(0);
}

}  // namespace kestrel
