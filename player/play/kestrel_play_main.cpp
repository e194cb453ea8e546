#include <cstdio>
#include <string>
#include <vector>

#include "player/play/play_command.h"
#ifdef _WIN32
#include "player/shell/gdi_text_painter_win.h"
#endif

int main(int argc, char** argv) {
    kestrel::play::Console console;
    console.out = [](const std::string& text) { std::fputs(text.c_str(), stdout); };
    console.err = [](const std::string& text) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
    };
    kestrel::render::TextPainter* deviceText = nullptr;
#ifdef _WIN32
    // Text in the system's fonts is drawn by GDI, as the plug-in draws it.
    kestrel::shell::GdiTextPainter gdiText;
    deviceText = &gdiText;
#endif
    int code = kestrel::play::RunPlay(std::vector<std::string>(argv + 1, argv + argc), console,
                                      deviceText);
    // Trace output that could not be written is a failure too.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return kestrel::play::kExitFailed;
    return code;
}
