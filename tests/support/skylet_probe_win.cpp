// skylet_probe: runs a projector, reports what it shows, closes it and
// reports how it ended. Used by scripts/main-job.sh.
//   skylet_probe <projector.exe> <seconds to keep the window open>
// Prints "hold" once the window shows, so a screenshot can be taken then.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/ui_test_support.h"

using namespace kestrel::uitest;

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

int CountUnpackFolders(const std::string& temp) {
    WIN32_FIND_DATAA found;
    kestrel::FindHandle search(FindFirstFileA((temp + "\\lkskso_*").c_str(), &found));
    if (!search) return 0;
    int count = 0;
    do ++count;
    while (FindNextFileA(search.get(), &found));
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: skylet_probe <projector.exe> <seconds>\n");
        return 2;
    }
    const std::string program = argv[1];
    const int holdSeconds = std::atoi(argv[2]);
    // A private temporary folder, so the clean-up check sees only this run.
    const std::string temp = FolderOf(program) + "\\temp";
    CreateDirectoryA(temp.c_str(), nullptr);
    const int before = CountUnpackFolders(temp);

    TestProcess process;
    if (!process.start(
            {program, FolderOf(program), {{"TMP", temp + "\\"}, {"TEMP", temp + "\\"}}})) {
        std::printf("could not start %s\n", program.c_str());
        return 1;
    }
    bool ok = true;
    HWND window = WaitForTopLevelWindow(process.id(), "LK_KestrelSKWindow", nullptr, 60000);
    if (!window) {
        HWND box = WaitForMessageBox(process.id(), nullptr, 1000);
        std::printf("window found: no%s%s\n", box ? "; message box: " : "",
                    box ? MessageBoxText(box).c_str() : "");
        process.kill();
        return 1;
    }
    WaitUntil([&] { return IsWindowShown(window); }, 10000);
    Sleep(1000);  // let the first paint land
    const RECT client = ClientRectangle(window);
    // Near the corner: the background, whatever the movie draws in the middle.
    const COLORREF pixel = ReadClientPixel(window, 10, 10);
    std::printf("window found: yes (class %s)\n", WindowClassName(window).c_str());
    std::printf("title: %s\n", WindowText(window).c_str());
    std::printf("visible: %s, client size %ldx%ld\n", IsWindowShown(window) ? "yes" : "no",
                client.right, client.bottom);
    std::printf("background pixel (10, 10): #%02x%02x%02x\n", GetRValue(pixel), GetGValue(pixel),
                GetBValue(pixel));
    std::printf("unpack folders while running: %d\n", CountUnpackFolders(temp) - before);
    std::printf("hold\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(holdSeconds) * 1000);

    CloseWindowPolitely(window);
    uint32_t code = 0;
    if (!process.waitForExit(30000, &code)) {
        std::printf("exit: did not end within 30 s, killed\n");
        process.kill();
        return 1;
    }
    const int left = CountUnpackFolders(temp) - before;
    std::printf("exit code: %d\n", static_cast<int>(code));
    std::printf("temporary folder clean: %s\n", left == 0 ? "yes" : "no");
    ok = ok && code == 0 && left == 0;
    RemoveDirectoryA(temp.c_str());
    return ok ? 0 : 1;
}
