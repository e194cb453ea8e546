#include "projector/api/program_path.h"

namespace kestrel {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAbsolute(std::string_view path) {
    if (!path.empty() && IsSeparator(path[0])) return true;
    return path.size() >= 2 && path[1] == ':';
}

}  // namespace

std::string FolderOfProgram(std::string_view programPath) {
    std::size_t last = programPath.find_last_of("\\/");
    if (last == std::string_view::npos) return std::string();
    return std::string(programPath.substr(0, last));
}

std::string ResolveAgainstProgram(std::string_view path, std::string_view programPath) {
    if (path.empty() || IsAbsolute(path)) return std::string(path);
    return FolderOfProgram(programPath) + "\\" + std::string(path);
}

}  // namespace kestrel
