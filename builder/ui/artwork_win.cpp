#include "builder/mask_image.h"
#include "builder/ui/artwork.h"
#include "builder/ui/controls.h"
#include "builder/ui/main_window_text.h"
#include "builder/ui/resource_ids.h"
#include "builder/update_check.h"

namespace kestrel {

GdiObject<HBITMAP> LoadArtwork() {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDB_ARTWORK), RT_ARTWORK);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    const MaskImage image = DecodePng(bytes, SizeofResource(nullptr, found));
    if (image.error != MaskImageError::None) return {};
    const PixelBuffer& pixels = image.pixels;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;  // top-down, as decoded
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WindowDC screen;
    GdiObject<HBITMAP> bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return {};
    // DIB rows are padded to four bytes and hold blue, green, red.
    const size_t width = static_cast<size_t>(pixels.width);
    const size_t stride = (width * 3 + 3) & ~static_cast<size_t>(3);
    auto* target = static_cast<uint8_t*>(bits);
    for (size_t y = 0; y < static_cast<size_t>(pixels.height); ++y) {
        const uint8_t* from = pixels.rgb.data() + y * width * 3;
        uint8_t* to = target + y * stride;
        for (size_t x = 0; x < width; ++x) {
            to[x * 3 + 0] = from[x * 3 + 2];
            to[x * 3 + 1] = from[x * 3 + 1];
            to[x * 3 + 2] = from[x * 3 + 0];
        }
    }
    return bitmap;
}

void ShowArtworkAndLines(HWND dialog, const GdiObject<HBITMAP>& artwork) {
    if (artwork) {
        SendDlgItemMessageA(dialog, IDC_ARTWORK, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(artwork.get()));
    }
    SetDlgItemTextA(dialog, IDC_VERSION_LINE,
                    VersionLine(kRunningVersion.major, kRunningVersion.minor).c_str());
    SetDlgItemTextA(dialog, IDC_SECOND_LINE, LoadResourceString(IDS_SECOND_LINE).c_str());
    SetDlgItemTextA(dialog, IDC_COPYRIGHT_LINE, LoadResourceString(IDS_COPYRIGHT).c_str());
}

}  // namespace kestrel
