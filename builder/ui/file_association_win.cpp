#include <windows.h>
// Needs the types of <windows.h>.
#include <shlobj.h>

#include "builder/ui/file_association.h"
#include "common/file_system.h"
#include "common/win_handles.h"

namespace kestrel {
namespace {

bool SetDefaultValue(const std::string& keyPath, const std::string& value) {
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    RegistryKey key(opened);
    return RegSetValueExA(key.get(), nullptr, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

bool RegisterProjectFileType(const std::string& classesKey, const std::string& programPath,
                             const std::string& programFolder) {
    const std::string iconLibrary = JoinPath(programFolder, kIconLibraryName);
    if (!PathExists(iconLibrary)) return false;
    const size_t slash = programPath.find_last_of("\\/");
    const std::string programName =
        slash == std::string::npos ? programPath : programPath.substr(slash + 1);
    const std::string type = classesKey + "\\Kestrel.kstl";
    bool written = SetDefaultValue(classesKey + "\\.kstl", "Kestrel.kstl");
    written = SetDefaultValue(type, "Kestrel Project") && written;
    written = SetDefaultValue(type + "\\DefaultIcon", iconLibrary) && written;
    written = SetDefaultValue(type + "\\shell\\open", "Open with " + programName) && written;
    // A project path with spaces must reach the program as one argument.
    written = SetDefaultValue(type + "\\shell\\open\\command", "\"" + programPath + "\" \"%1\"") &&
              written;
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return written;
}

}  // namespace kestrel
