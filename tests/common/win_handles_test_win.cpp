// The project's Win32 handle wrappers: each closes exactly what it owns, once.
#include <gtest/gtest.h>
#include <windows.h>

#include <utility>

#include "common/win_handles.h"

namespace kestrel {
namespace {

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE NewEvent() {
    return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

TEST(WinHandles, NoHandleValuesMeanEmpty) {
    EXPECT_FALSE(KernelHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(KernelHandle(nullptr));
    WIN32_FIND_DATAA entry;
    FindHandle search(FindFirstFileA("C:\\no such folder here\\*", &entry));
    EXPECT_FALSE(search);
    EXPECT_EQ(search.get(), nullptr);
}

TEST(WinHandles, DestructionClosesAndReleaseHandsOver) {
    HANDLE closed = NewEvent();
    { KernelHandle owner(closed); }
    EXPECT_FALSE(IsOpen(closed));

    HANDLE kept = NewEvent();
    {
        KernelHandle owner(kept);
        EXPECT_EQ(owner.release(), kept);
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(IsOpen(kept));
    CloseHandle(kept);
}

TEST(WinHandles, MovingTransfersOwnershipAndAssignmentClosesTheOldHandle) {
    HANDLE first = NewEvent();
    HANDLE second = NewEvent();
    KernelHandle a(first);
    KernelHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), first);
    EXPECT_TRUE(IsOpen(first));

    KernelHandle c(second);
    c = std::move(b);
    EXPECT_FALSE(IsOpen(second));
    EXPECT_EQ(c.get(), first);
    c.reset();
    EXPECT_FALSE(IsOpen(first));
}

TEST(WinHandles, CloseReportsTheSystemsAnswer) {
    KernelHandle event(NewEvent());
    EXPECT_TRUE(event.close());
    EXPECT_FALSE(event);
    EXPECT_FALSE(event.close());  // nothing held

    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &raw), ERROR_SUCCESS);
    RegistryKey key(raw);
    EXPECT_TRUE(key.close());
}

TEST(WinHandles, WindowsRegionsAndDcsAreFreed) {
    HWND raw =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(raw);
    { OwnedWindow window(raw); }
    EXPECT_FALSE(IsWindow(raw));

    HRGN region = CreateRectRgn(0, 0, 4, 4);
    { Region owner(region); }
    EXPECT_EQ(GetObjectType(region), 0u);

    HDC memory = CreateCompatibleDC(nullptr);
    { MemoryDC owner(memory); }
    EXPECT_EQ(GetObjectType(memory), 0u);
}

TEST(WinHandles, SelectionAndSavedStateAreUndoneAtScopeEnd) {
    MemoryDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BRUSH);
    GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(1, 2, 3)));
    {
        SelectedObject selected(dc.get(), brush.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brush.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), original);

    const int mode = GetBkMode(dc.get());
    {
        SavedDcState saved(dc.get());
        SetBkMode(dc.get(), mode == OPAQUE ? TRANSPARENT : OPAQUE);
    }
    EXPECT_EQ(GetBkMode(dc.get()), mode);
}

TEST(WinHandles, ComApartmentsNest) {
    ComApartment outer;
    ASSERT_TRUE(outer.usable());
    {
        ComApartment inner;
        EXPECT_TRUE(inner.usable());
    }
    // The outer scope still holds COM: a second start only counts up.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    CoUninitialize();
}

}  // namespace
}  // namespace kestrel
