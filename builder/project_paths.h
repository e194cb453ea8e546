// The builder's path rule: paths are kept in absolute form (a relative path
// is taken against the program folder, nothing else is rewritten) and two
// paths name the same file when their absolute forms match ignoring case.
#pragma once

#include <string>

namespace kestrel {

// True for "/x", "\x", "\\server\x" and "C:..." on every platform, so
// project files written on Windows read the same anywhere.
bool IsAbsolutePath(const std::string& path);

// Empty stays empty, absolute stays as it is, relative is joined to `base`.
std::string AbsoluteFormFrom(const std::string& path, const std::string& base);
// The same against ProgramFolder().
std::string AbsoluteForm(const std::string& path);

// Absolute forms equal ignoring ASCII case.
bool SamePath(const std::string& a, const std::string& b);

// The last component without its extension ("C:\p\Show.kstl" gives "Show").
std::string BaseNameWithoutExtension(const std::string& path);

// The folder that holds the running program.
std::string ProgramFolder();
// The user's desktop folder (created when missing), else the system
// temporary folder: where outputs go by default.
std::string DesktopFolder();

}  // namespace kestrel
