// skylet: the projector runtime. It takes no command line; everything it
// needs is in the payload behind its own executable.
#include <windows.h>

#include "projector/app/application_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kestrel::projector::Application application;
    return application.run();
}
