// kestrel_probe: opens a project in the builder, reports its main window,
// exports the project with the Export command, answers the box that says how
// the export ended and quits the builder. Used by scripts/main-job.sh.
//   kestrel_probe <kestrel.exe> <project.kstl> <seconds to keep the window open>
// Prints "hold" once the main window shows, so a screenshot can be taken then.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/ui_test_support.h"

using namespace kestrel::uitest;

namespace {

constexpr WPARAM kExportCommand = 32784;
constexpr WPARAM kExitCommand = 32785;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The main window's caption is "Kestrel: " and the project's name.
HWND WaitForMainWindow(DWORD processId, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : FindTopLevelWindows(processId, "#32770", nullptr)) {
                if (WindowText(window).rfind("Kestrel: ", 0) == 0 && IsWindowShown(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

// The box that ends an export: "Exporting..." on success, "Error" otherwise.
HWND WaitForExportAnswer(DWORD processId, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            box = WaitForMessageBox(processId, "Exporting...", 0);
            if (!box) box = WaitForMessageBox(processId, "Error", 0);
            return box != nullptr;
        },
        timeoutMs);
    return box;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: kestrel_probe <kestrel.exe> <project.kstl> <seconds>\n");
        return 2;
    }
    const std::string program = argv[1];
    const std::string project = argv[2];
    const int holdSeconds = std::atoi(argv[3]);

    TestProcess process;
    StartOptions options;
    options.program = program;
    options.workingFolder = FolderOf(program);
    if (!process.start(options, {project})) {
        std::printf("could not start %s\n", program.c_str());
        return 1;
    }
    HWND window = WaitForMainWindow(process.id(), 60000);
    if (!window) {
        HWND box = WaitForMessageBox(process.id(), nullptr, 1000);
        std::printf("builder window found: no%s%s\n", box ? "; dialog: " : "",
                    box ? WindowText(box).c_str() : "");
        process.kill();
        return 1;
    }
    Sleep(1000);  // let the first paint land
    const RECT frame = WindowRectangle(window);
    std::printf("builder window: \"%s\", %ldx%ld\n", WindowText(window).c_str(),
                frame.right - frame.left, frame.bottom - frame.top);
    HWND settings = WaitForTopLevelWindow(process.id(), "#32770", "Settings", 2000);
    std::printf("settings window: %s\n",
                settings && IsWindowShown(settings) ? "shown" : "not shown");
    std::printf("hold\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(holdSeconds) * 1000);

    PostMessageA(window, WM_COMMAND, kExportCommand, 0);
    HWND answer = WaitForExportAnswer(process.id(), 120000);
    bool exported = false;
    if (answer) {
        exported = WindowText(answer) == "Exporting...";
        std::printf("export: %s (\"%s\")\n", exported ? "finished" : "failed",
                    MessageBoxText(answer).c_str());
        PressButton(answer, IDOK);
    } else {
        std::printf("export: no answer within 120 s\n");
    }

    PostMessageA(window, WM_COMMAND, kExitCommand, 0);
    uint32_t code = 0;
    if (!process.waitForExit(30000, &code)) {
        std::printf("builder exit: did not end within 30 s, killed\n");
        process.kill();
        return 1;
    }
    std::printf("builder exit code: %d\n", static_cast<int>(code));
    return exported && code == 0 ? 0 : 1;
}
