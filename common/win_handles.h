// The Win32 handle wrappers of the whole project (Windows only).
//
// An owning wrapper closes its handle on destruction, can be moved but not
// copied, and gives the handle up with release(). A non-owning wrapper only
// undoes what it did to a handle someone else owns.
#pragma once

#include <windows.h>
// These need the types of <windows.h>.
#include <mmsystem.h>
#include <objbase.h>
#include <wininet.h>

#include <utility>

namespace kestrel {

// One owned handle; Traits names the handle type, its closing call and which
// values mean "no handle" (some calls answer null, others INVALID_HANDLE_VALUE).
template <typename Traits>
class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(Normalise(handle)) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    // Closes the held handle (if any) and takes the new one.
    void reset(Handle handle = nullptr) {
        if (handle_) Traits::Close(handle_);
        handle_ = Normalise(handle);
    }
    // Closes now and reports the system's answer (false when nothing was held).
    bool close() {
        if (!handle_) return false;
        return Traits::Close(std::exchange(handle_, nullptr));
    }
    // Gives the handle up without closing it: the caller or a new owner closes it.
    Handle release() { return std::exchange(handle_, nullptr); }

  private:
    static Handle Normalise(Handle handle) { return Traits::IsAbsent(handle) ? nullptr : handle; }

    Handle handle_ = nullptr;
};

namespace handle_traits {

struct Kernel {
    using Handle = HANDLE;
    static bool IsAbsent(HANDLE handle) { return !handle || handle == INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE handle) { return CloseHandle(handle) != FALSE; }
};

struct FileSearch {
    using Handle = HANDLE;
    static bool IsAbsent(HANDLE handle) { return !handle || handle == INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE handle) { return FindClose(handle) != FALSE; }
};

struct Registry {
    using Handle = HKEY;
    static bool IsAbsent(HKEY key) { return !key; }
    static bool Close(HKEY key) { return RegCloseKey(key) == ERROR_SUCCESS; }
};

template <typename T>
struct Gdi {
    using Handle = T;
    static bool IsAbsent(T object) { return !object; }
    static bool Close(T object) { return DeleteObject(object) != FALSE; }
};

struct MemoryDeviceContext {
    using Handle = HDC;
    static bool IsAbsent(HDC dc) { return !dc; }
    static bool Close(HDC dc) { return DeleteDC(dc) != FALSE; }
};

struct Module {
    using Handle = HMODULE;
    static bool IsAbsent(HMODULE module) { return !module; }
    static bool Close(HMODULE module) { return FreeLibrary(module) != FALSE; }
};

struct Icon {
    using Handle = HICON;
    static bool IsAbsent(HICON icon) { return !icon; }
    static bool Close(HICON icon) { return DestroyIcon(icon) != FALSE; }
};

struct Internet {
    using Handle = HINTERNET;
    static bool IsAbsent(HINTERNET handle) { return !handle; }
    static bool Close(HINTERNET handle) { return InternetCloseHandle(handle) != FALSE; }
};

struct Window {
    using Handle = HWND;
    static bool IsAbsent(HWND window) { return !window; }
    static bool Close(HWND window) { return DestroyWindow(window) != FALSE; }
};

struct Menu {
    using Handle = HMENU;
    static bool IsAbsent(HMENU menu) { return !menu; }
    static bool Close(HMENU menu) { return DestroyMenu(menu) != FALSE; }
};

struct GlobalBlock {
    using Handle = HGLOBAL;
    static bool IsAbsent(HGLOBAL block) { return !block; }
    static bool Close(HGLOBAL block) { return GlobalFree(block) == nullptr; }
};

struct Mixer {
    using Handle = HMIXER;
    static bool IsAbsent(HMIXER mixer) { return !mixer; }
    static bool Close(HMIXER mixer) { return mixerClose(mixer) == MMSYSERR_NOERROR; }
};

}  // namespace handle_traits

// A thread, process, event, semaphore, file or access token.
using KernelHandle = UniqueHandle<handle_traits::Kernel>;
// A search begun by FindFirstFile.
using FindHandle = UniqueHandle<handle_traits::FileSearch>;
// An open registry key; close() reports the registry's answer.
using RegistryKey = UniqueHandle<handle_traits::Registry>;
// A pen, brush, font, bitmap or region.
template <typename T>
using GdiObject = UniqueHandle<handle_traits::Gdi<T>>;
using Region = GdiObject<HRGN>;
// A memory device context (CreateCompatibleDC).
using MemoryDC = UniqueHandle<handle_traits::MemoryDeviceContext>;
// A library loaded with LoadLibrary.
using LoadedModule = UniqueHandle<handle_traits::Module>;
// An icon made by LoadImage or CreateIconIndirect (not a shared one).
using OwnedIcon = UniqueHandle<handle_traits::Icon>;
// A WinINet session, connection or request.
using InternetHandle = UniqueHandle<handle_traits::Internet>;
// A window its owner destroys: reset() is the one place it is destroyed.
using OwnedWindow = UniqueHandle<handle_traits::Window>;
// A menu no window holds (a context menu, a drop-down not yet in a bar). A
// menu given to a bar or a window is released: the window destroys it.
using OwnedMenu = UniqueHandle<handle_traits::Menu>;
// An open audio mixer.
using MixerHandle = UniqueHandle<handle_traits::Mixer>;
// A movable memory block not yet handed to the clipboard.
using GlobalBlock = UniqueHandle<handle_traits::GlobalBlock>;

// The DC of a window's client area, or of the screen for a null window
// (GetDC / ReleaseDC).
class WindowDC {
  public:
    explicit WindowDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;  // not owned
    HDC dc_;
};

// COM on this thread for one scope; undone only when this scope started it.
class ComApartment {
  public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    // Started here, or already running on this thread in another mode.
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT result_;
};

// Selects an object into a DC for one scope and puts the previous one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;            // not owned
    HGDIOBJ previous_;  // not owned: belongs to whoever selected it before
};

// SaveDC / RestoreDC around a scope.
class SavedDcState {
  public:
    explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDcState() {
        if (saved_) RestoreDC(dc_, saved_);
    }
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;

  private:
    HDC dc_;  // not owned
    int saved_;
};

}  // namespace kestrel
