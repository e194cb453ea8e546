// Owning wrappers for the GDI handles the renderer makes per paint.
#pragma once

#include <windows.h>

namespace kestrel::shell {

// Owns a pen, brush, font or bitmap; deletes it on destruction.
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ object = nullptr) : object_(object) {}
    ~GdiObject() {
        if (object_) DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    HGDIOBJ object_;
};

// Selects an object into a DC for one scope and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;         // not owned
    HGDIOBJ previous_;  // not owned: belongs to whoever selected it before
};

// A memory DC compatible with another; deleted on destruction.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// SaveDC/RestoreDC around a scope.
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

}  // namespace kestrel::shell
