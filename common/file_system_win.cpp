#include <windows.h>

#include <cstring>

#include "common/file_system.h"
#include "common/win_handles.h"

namespace kestrel {

namespace {

constexpr DWORD kInvalidAttributes = INVALID_FILE_ATTRIBUTES;

}  // namespace

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != kInvalidAttributes;
}

bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != kInvalidAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

MakeDirectoryResult MakeDirectory(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return MakeDirectoryResult::Created;
    return GetLastError() == ERROR_ALREADY_EXISTS ? MakeDirectoryResult::AlreadyExists
                                                  : MakeDirectoryResult::Failed;
}

std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    FindHandle find(FindFirstFileA(JoinPath(folder, "*").c_str(), &entry));
    if (!find) return names;
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(entry.cFileName);
        }
    } while (FindNextFileA(find.get(), &entry));
    return names;
}

std::vector<std::string> ListFolders(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    FindHandle find(FindFirstFileA(JoinPath(folder, "*").c_str(), &entry));
    if (!find) return names;
    do {
        const bool folderEntry = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool link = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (folderEntry && !link && std::strcmp(entry.cFileName, ".") != 0 &&
            std::strcmp(entry.cFileName, "..") != 0) {
            names.push_back(entry.cFileName);
        }
    } while (FindNextFileA(find.get(), &entry));
    return names;
}

bool RenameFolder(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), 0) != 0;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveDirectoryTree(const std::string& path) {
    if (!IsDirectory(path)) return false;
    WIN32_FIND_DATAA entry;
    {
        FindHandle find(FindFirstFileA(JoinPath(path, "*").c_str(), &entry));
        if (find) {
            do {
                if (std::strcmp(entry.cFileName, ".") == 0 ||
                    std::strcmp(entry.cFileName, "..") == 0) {
                    continue;
                }
                std::string child = JoinPath(path, entry.cFileName);
                bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
                    SetFileAttributesA(child.c_str(),
                                       entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
                }
                if (isFolder && !isLink) {
                    RemoveDirectoryTree(child);
                } else if (isFolder) {
                    // A junction is removed as a link; its target is left alone.
                    RemoveDirectoryA(child.c_str());
                } else {
                    DeleteFileA(child.c_str());
                }
            } while (FindNextFileA(find.get(), &entry));
        }
    }
    return RemoveDirectoryA(path.c_str()) != 0;
}

}  // namespace kestrel
