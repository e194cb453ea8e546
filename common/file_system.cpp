#include "common/file_system.h"

namespace kestrel {

namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || IsSeparator(folder.back())) return folder + name;
    std::string path = folder;
    path += kPathSeparator;
    path += name;
    return path;
}

}  // namespace kestrel
