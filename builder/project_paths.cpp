#include "builder/project_paths.h"

#include <cctype>

#include "common/file_system.h"

namespace kestrel {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

}  // namespace

bool IsAbsolutePath(const std::string& path) {
    if (path.empty()) return false;
    if (IsSeparator(path[0])) return true;
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::string AbsoluteFormFrom(const std::string& path, const std::string& base) {
    if (path.empty() || IsAbsolutePath(path)) return path;
    return JoinPath(base, path);
}

std::string AbsoluteForm(const std::string& path) {
    if (path.empty() || IsAbsolutePath(path)) return path;
    return AbsoluteFormFrom(path, ProgramFolder());
}

bool SamePath(const std::string& a, const std::string& b) {
    std::string first = AbsoluteForm(a);
    std::string second = AbsoluteForm(b);
    if (first.size() != second.size()) return false;
    for (size_t i = 0; i < first.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(first[i])) !=
            std::tolower(static_cast<unsigned char>(second[i])))
            return false;
    }
    return true;
}

std::string BaseNameWithoutExtension(const std::string& path) {
    size_t start = path.find_last_of("/\\");
    std::string name = start == std::string::npos ? path : path.substr(start + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace kestrel
