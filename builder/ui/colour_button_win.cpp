#include <utility>

#include "builder/ui/colour_button.h"

namespace kestrel {

void ColourButton::SetColour(uint32_t colour) {
    colour_ = colour & 0xFFFFFF;
    HWND button = Handle();
    if (!button) return;
    RECT client{};
    GetClientRect(button, &client);
    const int width = client.right > 0 ? client.right : 1;
    const int height = client.bottom > 0 ? client.bottom : 1;
    // A 24-bit bitmap with the colour in every pixel; rows are padded to
    // four bytes and stored blue, green, red.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WindowDC screen;
    GdiObject<HBITMAP> bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    auto* bytes = static_cast<uint8_t*>(bits);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bytes + stride * static_cast<size_t>(y);
        for (int x = 0; x < width; ++x) {
            row[x * 3 + 0] = static_cast<uint8_t>(colour_ >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(colour_ >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(colour_);
        }
    }
    SetWindowLongPtr(button, GWL_STYLE, GetWindowLongPtr(button, GWL_STYLE) | BS_BITMAP);
    SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
    // The button keeps no reference: the previous bitmap may go now.
    bitmap_ = std::move(bitmap);
    InvalidateRect(button, nullptr, TRUE);
}

bool ColourButton::Choose(FileDialogs& dialogs, std::array<uint32_t, 16>* customColours) {
    uint32_t chosen = colour_;
    if (!dialogs.ChooseColour(Parent(), &chosen, customColours)) return false;
    SetColour(chosen);
    return true;
}

}  // namespace kestrel
