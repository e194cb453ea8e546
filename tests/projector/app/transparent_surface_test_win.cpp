// The transparent window's surface against a fake plug-in: two passes over
// white and black, the recovered alpha, the layered update's arguments, a
// partial repaint and a resize down to one pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "projector/app/plugin_instance_win.h"
#include "projector/app/transparent_surface_win.h"
#include "tests/projector/app/fake_plugin_win.h"

namespace kestrel::projector {
namespace {

using test::TheFakePlugin;
using Pixel = std::array<uint8_t, 4>;  // blue, green, red, alpha

// What the fake UpdateLayeredWindow was given, with a copy of the shown pixels.
struct LayeredUpdate {
    HWND window = nullptr;
    bool hasDestination = false, hasDestinationDc = false;
    SIZE size{};
    POINT source{-1, -1};
    COLORREF key = CLR_INVALID;
    BLENDFUNCTION blend{};
    DWORD flags = 0;
    HDC sourceDc = nullptr;
    int bitmapWidth = 0, bitmapHeight = 0, bitsPerPixel = 0;
    std::vector<uint8_t> pixels;

    Pixel at(int x, int y) const {
        const uint8_t* p =
            &pixels[(static_cast<size_t>(y) * static_cast<size_t>(bitmapWidth) + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};
std::vector<LayeredUpdate> g_updates;

BOOL WINAPI FakeUpdateLayeredWindow(HWND window, HDC destinationDc, POINT* destination, SIZE* size,
                                    HDC sourceDc, POINT* source, COLORREF key, BLENDFUNCTION* blend,
                                    DWORD flags) {
    LayeredUpdate update;
    update.window = window;
    update.hasDestinationDc = destinationDc != nullptr;
    update.hasDestination = destination != nullptr;
    if (size) update.size = *size;
    if (source) update.source = *source;
    update.key = key;
    if (blend) update.blend = *blend;
    update.flags = flags;
    update.sourceDc = sourceDc;
    DIBSECTION dib{};
    HGDIOBJ bitmap = GetCurrentObject(sourceDc, OBJ_BITMAP);
    if (bitmap && GetObjectA(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits) {
        update.bitmapWidth = dib.dsBm.bmWidth;
        update.bitmapHeight = dib.dsBm.bmHeight;
        update.bitsPerPixel = dib.dsBm.bmBitsPixel;
        const auto* bits = static_cast<const uint8_t*>(dib.dsBm.bmBits);
        update.pixels.assign(bits,
                             bits + static_cast<size_t>(dib.dsBm.bmWidthBytes) * dib.dsBm.bmHeight);
    }
    g_updates.push_back(update);
    return TRUE;
}

constexpr int kSize = 20;
constexpr COLORREF kRed = RGB(255, 0, 0);

// Top half opaque red; bottom left half-covered black; bottom right nothing.
void PaintTestPicture(HDC dc, uint32_t width, uint32_t height) {
    const RECT top{0, 0, static_cast<LONG>(width), static_cast<LONG>(height) / 2};
    GdiObject<HBRUSH> red(CreateSolidBrush(kRed));
    FillRect(dc, &top, red.get());
    for (LONG y = static_cast<LONG>(height) / 2; y < static_cast<LONG>(height); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(width) / 2; ++x) {
            const COLORREF under = GetPixel(dc, x, y);
            if (under == CLR_INVALID) continue;  // outside the clip
            SetPixel(dc, x, y,
                     RGB(GetRValue(under) / 2, GetGValue(under) / 2, GetBValue(under) / 2));
        }
    }
}

void PaintBlue(HDC dc, uint32_t width, uint32_t height) {
    const RECT all{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    GdiObject<HBRUSH> blue(CreateSolidBrush(RGB(0, 0, 255)));
    FillRect(dc, &all, blue.get());
}

class TransparentSurfaceTest : public testing::Test {
  protected:
    void SetUp() override {
        TheFakePlugin().reset();
        TheFakePlugin().painter = PaintTestPicture;
        g_updates.clear();
        window.reset(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, kSize, kSize, nullptr,
                                     nullptr, nullptr, nullptr));
        ASSERT_TRUE(window);
        surface = std::make_unique<TransparentSurface>(window.get(), kSize, kSize,
                                                       &FakeUpdateLayeredWindow);
        ASSERT_TRUE(surface->create());
        instance = std::make_unique<PluginInstance>(functions, *surface);
        ASSERT_TRUE(instance->start());
    }
    void TearDown() override {
        instance.reset();
        surface.reset();
        window.reset();
    }

    NPPluginFuncs functions = test::FakePluginFunctions();
    OwnedWindow window;
    std::unique_ptr<TransparentSurface> surface;
    std::unique_ptr<PluginInstance> instance;
};

TEST_F(TransparentSurfaceTest, ShowsRecoveredAlphaWithLayeredUpdate) {
    instance->repaintAll();
    ASSERT_EQ(g_updates.size(), 1u);
    const LayeredUpdate& update = g_updates[0];
    EXPECT_EQ(update.window, window.get());
    EXPECT_FALSE(update.hasDestination) << "the window must not be moved";
    EXPECT_EQ(update.size.cx, kSize);
    EXPECT_EQ(update.size.cy, kSize);
    EXPECT_EQ(update.source.x, 0);
    EXPECT_EQ(update.source.y, 0);
    EXPECT_EQ(update.key, 0u);
    EXPECT_EQ(update.blend.BlendOp, AC_SRC_OVER);
    EXPECT_EQ(update.blend.BlendFlags, 0);
    EXPECT_EQ(update.blend.SourceConstantAlpha, 255);
    EXPECT_EQ(update.blend.AlphaFormat, AC_SRC_ALPHA);
    EXPECT_EQ(update.flags, static_cast<DWORD>(ULW_ALPHA));
    EXPECT_EQ(update.sourceDc, static_cast<HDC>(surface->windowStructure()->window));
    ASSERT_EQ(update.bitsPerPixel, 32);
    ASSERT_EQ(update.bitmapWidth, kSize);

    // Row 0 comes first in memory (top-down): the red half.
    EXPECT_EQ(update.at(0, 0), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(update.at(kSize - 1, kSize / 2 - 1), (Pixel{0, 0, 255, 255}));
    // Half-covered black: black colour, half alpha.
    EXPECT_EQ(update.at(0, kSize - 1), (Pixel{0, 0, 0, 128}));
    // Nothing drawn: nothing shown.
    EXPECT_EQ(update.at(kSize - 1, kSize - 1), (Pixel{0, 0, 0, 0}));
}

TEST_F(TransparentSurfaceTest, DrawsOverBlackThenOverWhite) {
    TheFakePlugin().calls.clear();
    instance->repaintAll();
    // Each pass hands the plug-in the window structure with its own device
    // context, then asks it to paint into it.
    std::vector<HDC> setWindows, paints;
    for (const auto& call : TheFakePlugin().calls) {
        if (call.what == "setwindow") setWindows.push_back(call.dc);
        if (call.what == "event" && call.event == WM_PAINT) paints.push_back(call.dc);
    }
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_NE(paints[0], paints[1]);
    ASSERT_FALSE(setWindows.empty());
    EXPECT_EQ(setWindows.back(), paints[1]) << "the structure must end on the first surface";
    EXPECT_EQ(paints[1], static_cast<HDC>(surface->windowStructure()->window));
    for (const auto& call : TheFakePlugin().events(WM_PAINT)) {
        EXPECT_EQ(call.wParam, 0u);
        EXPECT_EQ(call.lParam, 0);
    }
}

TEST_F(TransparentSurfaceTest, RepaintOfPartChangesOnlyThatPart) {
    instance->repaintAll();
    TheFakePlugin().painter = PaintBlue;
    instance->repaint(NPRect{0, 0, 5, 5});  // top, left, bottom, right
    ASSERT_EQ(g_updates.size(), 2u);
    const LayeredUpdate& update = g_updates[1];
    EXPECT_EQ(update.at(0, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(update.at(4, 4), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(update.at(5, 0), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(update.at(0, 5), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(update.at(kSize - 1, kSize - 1), (Pixel{0, 0, 0, 0}));
}

TEST_F(TransparentSurfaceTest, RectangleBeyondTheSurfaceIsCut) {
    instance->repaintAll();
    TheFakePlugin().painter = PaintBlue;
    // Rows are kSize pixels long: a fill that ran on past the right edge would
    // wrap into the next row's left part, clearing the half-covered black
    // there (and write past the bitmap after the last row). Only a little
    // beyond, so such a fault shows here rather than as a crash.
    instance->repaint(NPRect{10, 10, kSize + 2, kSize + 5});  // top, left, bottom, right
    ASSERT_EQ(g_updates.size(), 2u);
    const LayeredUpdate& update = g_updates[1];
    EXPECT_EQ(update.size.cx, kSize);
    EXPECT_EQ(update.size.cy, kSize);
    EXPECT_EQ(update.at(10, 10), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(update.at(kSize - 1, kSize - 1), (Pixel{255, 0, 0, 255}));
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < 10; ++x) {
            const Pixel expected = y < kSize / 2 ? Pixel{0, 0, 255, 255} : Pixel{0, 0, 0, 128};
            EXPECT_EQ(update.at(x, y), expected) << "outside the rectangle at " << x << "," << y;
        }
    }
}

TEST_F(TransparentSurfaceTest, ResizeDownToOnePixelAndBack) {
    TheFakePlugin().painter = PaintBlue;  // the test picture has no room in one pixel
    instance->resize(1, 1);
    ASSERT_EQ(g_updates.size(), 1u);
    EXPECT_EQ(g_updates[0].size.cx, 1);
    EXPECT_EQ(g_updates[0].size.cy, 1);
    ASSERT_EQ(g_updates[0].bitmapWidth, 1);
    ASSERT_EQ(g_updates[0].bitmapHeight, 1);
    EXPECT_EQ(g_updates[0].at(0, 0), (Pixel{255, 0, 0, 255}));
    const auto& last = TheFakePlugin().calls;
    const auto lastSetWindow = std::find_if(last.rbegin(), last.rend(),
                                            [](const auto& c) { return c.what == "setwindow"; });
    ASSERT_NE(lastSetWindow, last.rend());
    EXPECT_EQ(lastSetWindow->width, 1u);
    EXPECT_EQ(lastSetWindow->height, 1u);

    TheFakePlugin().painter = PaintTestPicture;
    instance->resize(30, 12);
    ASSERT_EQ(g_updates.size(), 2u);
    EXPECT_EQ(g_updates[1].size.cx, 30);
    EXPECT_EQ(g_updates[1].size.cy, 12);
    EXPECT_EQ(g_updates[1].at(29, 0), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(g_updates[1].at(29, 11), (Pixel{0, 0, 0, 0}));
}

TEST_F(TransparentSurfaceTest, ResizeToNothingKeepsAUsableSurface) {
    instance->resize(0, 0);
    EXPECT_TRUE(g_updates.empty()) << "nothing to show";
    instance->resize(4, 4);
    ASSERT_EQ(g_updates.size(), 1u);
    EXPECT_EQ(g_updates[0].at(0, 0), (Pixel{0, 0, 255, 255}));
}

TEST(TransparentSurfaceWithoutLayeredWindows, PaintsWithoutShowing) {
    TheFakePlugin().reset();
    TheFakePlugin().painter = PaintTestPicture;
    g_updates.clear();
    OwnedWindow window(
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr));
    NPPluginFuncs functions = test::FakePluginFunctions();
    {
        TransparentSurface surface(window.get(), 8, 8, nullptr);
        ASSERT_TRUE(surface.create());
        PluginInstance instance(functions, surface);
        ASSERT_TRUE(instance.start());
        instance.repaintAll();
        EXPECT_EQ(TheFakePlugin().events(WM_PAINT).size(), 2u);
    }
    EXPECT_TRUE(g_updates.empty());
}

}  // namespace
}  // namespace kestrel::projector
