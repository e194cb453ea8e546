// An executable or DLL loaded as data, so tests can read its resources with
// the system's own functions, and icons loaded from it; both freed when they
// go out of scope.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace kestrel::test {

struct ModuleFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using DataModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;

inline DataModule LoadAsData(const std::string& path) {
    return DataModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

struct IconDestroy {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroy>;

// The icon group `group` at `side` x `side` pixels, as LoadImage picks it.
inline OwnedIcon LoadGroupIcon(HMODULE module, WORD group, int side) {
    return OwnedIcon(
        static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(group), IMAGE_ICON, side, side, 0)));
}

}  // namespace kestrel::test
