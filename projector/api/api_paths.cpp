#include "projector/api/api_paths.h"

namespace kestrel {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::size_t LastSeparator(std::string_view path) {
    return path.find_last_of("\\/");
}

bool IsDriveLetterPrefix(std::string_view path) {
    if (path.size() < 2 || path[1] != ':') return false;
    char c = path[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string FolderPart(std::string_view path, bool withBackslash) {
    std::size_t at = LastSeparator(path);
    std::string folder(at == std::string_view::npos ? std::string_view() : path.substr(0, at));
    return withBackslash ? WithTrailingBackslash(folder) : folder;
}

std::string FileNamePart(std::string_view path, bool withoutExtension) {
    std::size_t at = LastSeparator(path);
    std::string_view name = at == std::string_view::npos ? path : path.substr(at + 1);
    if (withoutExtension) {
        std::size_t dot = name.rfind('.');
        if (dot != std::string_view::npos) name = name.substr(0, dot);
    }
    return std::string(name);
}

std::string Extension(std::string_view path, bool withDot) {
    std::string name = FileNamePart(path);
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return std::string();
    return name.substr(withDot ? dot : dot + 1);
}

std::string WithTrailingBackslash(std::string_view path) {
    std::string result(path);
    if (result.empty() || !IsSeparator(result.back())) result += '\\';
    return result;
}

std::string JoinWithBackslash(std::string_view folder, std::string_view name) {
    while (!name.empty() && IsSeparator(name.front())) name.remove_prefix(1);
    if (folder.empty()) return std::string(name);
    return WithTrailingBackslash(folder) + std::string(name);
}

bool IsDriveRoot(std::string_view path) {
    while (!path.empty() && IsSeparator(path.back())) {
        // "\" and "\\" alone name the root of the current drive.
        if (path.size() == 1) return true;
        path.remove_suffix(1);
    }
    if (path.size() == 2 && IsDriveLetterPrefix(path)) return true;
    // "\\server\share", "\\?\C:" and the like: at most two components below "\\".
    if (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::string_view rest = path.substr(2);
        std::size_t separator = rest.find_first_of("\\/");
        if (separator == std::string_view::npos) return true;
        std::string_view second = rest.substr(separator + 1);
        if (second.find_first_of("\\/") != std::string_view::npos) {
            // "\\?\C:\" is a drive root written the long way.
            if (rest.substr(0, separator) == "?" || rest.substr(0, separator) == ".")
                return IsDriveRoot(second);
            return false;
        }
        if (rest.substr(0, separator) == "?" || rest.substr(0, separator) == ".")
            return IsDriveRoot(second);
        return true;
    }
    return false;
}

bool IsAbsolutePath(std::string_view path) {
    if (!path.empty() && IsSeparator(path[0])) return true;
    return IsDriveLetterPrefix(path);
}

std::string ResolvePath(std::string_view path, std::string_view programFolder) {
    if (path.empty() || IsAbsolutePath(path)) return std::string(path);
    return JoinWithBackslash(programFolder, path);
}

}  // namespace kestrel
