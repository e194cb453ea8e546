// kestrel.exe: the builder.
#include <windows.h>

#include "builder/ui/application.h"
#include "common/callback_guard.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    return kestrel::GuardedCall(1, [&] {
        kestrel::ApplicationOptions options;
        options.projectToOpen = kestrel::ProjectFromCommandLine(commandLine);
        kestrel::Application application(options);
        if (!application.OnInit()) return 1;
        const bool ran = application.Run();
        application.OnExit();
        return ran ? 0 : 1;
    });
}
