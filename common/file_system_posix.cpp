#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/file_system.h"

namespace kestrel {

bool PathExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

MakeDirectoryResult MakeDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0) return MakeDirectoryResult::Created;
    return errno == EEXIST ? MakeDirectoryResult::AlreadyExists : MakeDirectoryResult::Failed;
}

std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return names;
    while (const dirent* entry = readdir(dir.get())) {
        struct stat info;
        std::string child = JoinPath(folder, entry->d_name);
        if (stat(child.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.push_back(entry->d_name);
    }
    return names;
}

std::vector<std::string> ListFolders(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return names;
    while (const dirent* entry = readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        if (IsDirectory(JoinPath(folder, entry->d_name))) names.push_back(entry->d_name);
    }
    return names;
}

bool RenameFolder(const std::string& from, const std::string& to) {
    // rename() would replace an empty folder; the caller asked for none.
    if (PathExists(to)) return false;
    return rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveDirectoryTree(const std::string& path) {
    if (!IsDirectory(path)) return false;
    {
        std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(path.c_str()), closedir);
        if (dir) {
            while (const dirent* entry = readdir(dir.get())) {
                if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
                    continue;
                }
                std::string child = JoinPath(path, entry->d_name);
                // lstat: a link to a folder is removed as a link, never followed.
                if (IsDirectory(child)) {
                    RemoveDirectoryTree(child);
                } else {
                    RemoveFile(child);
                }
            }
        }
    }
    return rmdir(path.c_str()) == 0;
}

}  // namespace kestrel
