// Owning wrappers for the Win32 handles the projector keeps.
#pragma once

#include <windows.h>

namespace kestrel::projector {

// Closes a kernel handle (thread, semaphore, file) on destruction.
class KernelHandle {
public:
    explicit KernelHandle(HANDLE handle = nullptr) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~KernelHandle() { reset(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset() {
        if (handle_) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_;
};

// Deletes a GDI object (bitmap, brush, region) on destruction.
template <typename T>
class GdiObject {
public:
    explicit GdiObject(T object = nullptr) : object_(object) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset(T object = nullptr) {
        if (object_) DeleteObject(object_);
        object_ = object;
    }

private:
    T object_;
};

// Deletes a memory device context on destruction.
class MemoryDC {
public:
    MemoryDC() = default;
    ~MemoryDC() { reset(); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }
    bool createCompatibleWithScreen() {
        if (!dc_) dc_ = CreateCompatibleDC(nullptr);
        return dc_ != nullptr;
    }
    void reset() {
        if (dc_) DeleteDC(dc_);
        dc_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
};

// Destroys a menu that no window holds (a context menu, a drop-down not yet in
// a bar) on destruction. A menu given to a bar is released: the bar owns it.
class OwnedMenu {
public:
    explicit OwnedMenu(HMENU menu = nullptr) : menu_(menu) {}
    ~OwnedMenu() { reset(); }
    OwnedMenu(const OwnedMenu&) = delete;
    OwnedMenu& operator=(const OwnedMenu&) = delete;
    HMENU get() const { return menu_; }
    explicit operator bool() const { return menu_ != nullptr; }
    HMENU release() {
        HMENU menu = menu_;
        menu_ = nullptr;
        return menu;
    }
    void reset(HMENU menu = nullptr) {
        if (menu_) DestroyMenu(menu_);
        menu_ = menu;
    }

private:
    HMENU menu_;
};

}  // namespace kestrel::projector
