// Registers ".kstl" as "Kestrel.kstl" for the current user, so a project
// opens in the builder from the shell.
#pragma once

#include <string>

namespace kestrel {

inline constexpr char kUserClassesKey[] = "Software\\Classes";
inline constexpr char kIconLibraryName[] = "lkxcom.dll";

// Writes the keys under HKCU\`classesKey` when the icon library exists in
// `programFolder`; false when it is absent or a key could not be written.
// `programPath` is quoted in the command, and so is the project's path.
bool RegisterProjectFileType(const std::string& classesKey, const std::string& programPath,
                             const std::string& programFolder);

}  // namespace kestrel
