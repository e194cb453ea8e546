#include <unistd.h>

#include <cstdlib>

#include "builder/project_paths.h"
#include "common/file_system.h"

namespace kestrel {

std::string ProgramFolder() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return std::string();
    std::string folder(path, static_cast<size_t>(length));
    return folder.substr(0, folder.find_last_of('/'));
}

std::string DesktopFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) {
        // Only an existing one: a command-line run must not create folders
        // in the user's home.
        std::string desktop = JoinPath(home, "Desktop");
        return IsDirectory(desktop) ? desktop : std::string(home);
    }
    for (const char* variable : {"TMPDIR", "TEMP", "TMP"}) {
        if (const char* value = std::getenv(variable); value && *value) return value;
    }
    return "/tmp";
}

}  // namespace kestrel
