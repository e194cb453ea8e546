#include "tests/support/unix_links_win.h"

#include <windows.h>

#include "common/win_handles.h"
#include "tests/support/ui_test_support.h"

namespace kestrel::uitest {
namespace {

// The arguments reach the program split at blanks, without a shell.
bool StartUnixProgram(const std::string& program, const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string command = commandLine;
    if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    kestrel::KernelHandle thread(process.hThread);
    kestrel::KernelHandle running(process.hProcess);
    return true;
}

bool PathShows(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::string UnixPathOf(const std::string& windowsPath) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return std::string();
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* unixPath = toUnix(wide.c_str());
    if (!unixPath) return std::string();
    std::string path(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return path;
}

bool MakeUnixLink(const std::string& target, const std::string& link) {
    std::string from = UnixPathOf(target), to = UnixPathOf(link);
    if (from.empty() || to.empty() || !StartUnixProgram("Z:\\bin\\ln", "ln -s " + from + " " + to))
        return false;
    // Wine does not wait for a Unix program: watch for the link instead.
    return WaitUntil([&] { return PathShows(link); }, 10000);
}

void RemoveUnixLink(const std::string& link) {
    std::string path = UnixPathOf(link);
    if (path.empty() || !StartUnixProgram("Z:\\bin\\rm", "rm -f " + path)) return;
    WaitUntil([&] { return !PathShows(link); }, 10000);
}

}  // namespace kestrel::uitest
