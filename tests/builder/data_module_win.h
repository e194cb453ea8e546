// An executable or DLL loaded as data, so tests can read its resources with
// the system's own functions, and icons loaded from it; both freed when they
// go out of scope.
#pragma once

#include <windows.h>

#include <string>

#include "common/win_handles.h"

namespace kestrel::test {

using DataModule = LoadedModule;

inline DataModule LoadAsData(const std::string& path) {
    return DataModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

// The icon group `group` at `side` x `side` pixels, as LoadImage picks it.
inline OwnedIcon LoadGroupIcon(HMODULE module, WORD group, int side) {
    return OwnedIcon(
        static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(group), IMAGE_ICON, side, side, 0)));
}

}  // namespace kestrel::test
