// Path helpers the API families share. Paths are 8-bit texts in the system
// code page with Windows separators; both "\" and "/" end a component.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// The path without its last component; with `withBackslash` a backslash is
// appended. A path without a separator has an empty folder part.
std::string FolderPart(std::string_view path, bool withBackslash = false);
// The last component; with `withoutExtension` its extension is dropped too.
std::string FileNamePart(std::string_view path, bool withoutExtension = false);
// The text after the last "." of the file-name part (with the dot when
// `withDot`); empty when there is none.
std::string Extension(std::string_view path, bool withDot = false);
std::string WithTrailingBackslash(std::string_view path);
// `folder` and `name` joined by exactly one backslash.
std::string JoinWithBackslash(std::string_view folder, std::string_view name);

// True for "C:", "C:\", "\", "\\server\share" and the like: paths naming
// the top of a drive or share, which no API call may empty.
bool IsDriveRoot(std::string_view path);
bool IsAbsolutePath(std::string_view path);
// An empty or absolute path as it is; a relative one joined to `programFolder`.
std::string ResolvePath(std::string_view path, std::string_view programFolder);

}  // namespace kestrel
