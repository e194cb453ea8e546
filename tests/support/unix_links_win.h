// Symbolic links made the Unix way from a test running under Wine: a Windows
// program there can start Unix programs, so "ln -s" makes the link that a
// user's own tools would make in the Wine drive.
#pragma once

#include <string>

namespace kestrel::uitest {

// The Unix path of a Windows path, or empty when not running under Wine.
std::string UnixPathOf(const std::string& windowsPath);

// Links `link` to `target` (both Windows paths, without blanks) and waits
// until the link shows; false when it could not be made.
bool MakeUnixLink(const std::string& target, const std::string& link);

// Removes the link itself (never its target) and waits until it is gone.
void RemoveUnixLink(const std::string& link);

}  // namespace kestrel::uitest
