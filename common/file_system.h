// The few file-system operations the payload code needs, over 8-bit paths.
// On Windows these are the ANSI calls, because the projector works in the
// system's 8-bit code page; elsewhere POSIX.
#pragma once

#include <string>
#include <vector>

namespace kestrel {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// `folder` + separator + `name`; no separator is added when `folder` is empty
// or already ends in one.
std::string JoinPath(const std::string& folder, const std::string& name);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);

enum class MakeDirectoryResult { Created, AlreadyExists, Failed };
MakeDirectoryResult MakeDirectory(const std::string& path);

// Names of the regular files directly inside `folder`, in the order the
// file system lists them (no folders, no "." or "..").
std::vector<std::string> ListFiles(const std::string& folder);

// Names of the folders directly inside `folder` (no "." or ".."; links to
// folders are not listed, so a copy never follows them).
std::vector<std::string> ListFolders(const std::string& folder);

// Renames a folder; false when something named `to` exists.
bool RenameFolder(const std::string& from, const std::string& to);

// Deletes one file; false if it was not there or could not be deleted.
bool RemoveFile(const std::string& path);

// Renames the file `from` to `to`, replacing a file of that name in one step
// (so `to` names either the old or the new file, never a partial one).
bool MoveFileReplacing(const std::string& from, const std::string& to);

// Deletes every file in `path`, removes every subfolder the same way (depth
// first), then the folder itself. Links are removed, never followed. Returns
// true when the folder is gone afterwards.
bool RemoveDirectoryTree(const std::string& path);

}  // namespace kestrel
