#include "player/shell/gdi_text_painter_win.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/win_handles.h"
#include "player/core/display_object.h"

namespace kestrel::shell {

using player::Matrix;
using player::Rect;
using player::Rgba;

namespace {

RECT PixelBounds(const Matrix& m, const Rect& bounds) {
    Rect r = m.transformRect(bounds);
    if (r.isEmpty()) return RECT{0, 0, 0, 0};
    auto clampCoord = [](double v) { return static_cast<LONG>(std::clamp(v, -1.0e7, 1.0e7)); };
    return RECT{clampCoord(std::floor(r.xMin)), clampCoord(std::floor(r.yMin)),
                clampCoord(std::ceil(r.xMax)), clampCoord(std::ceil(r.yMax))};
}

// A premultiplied RGBA surface the renderer hands over.
struct Surface {
    uint8_t* pixels;  // not owned
    int width, height, stride;

    uint8_t* At(int x, int y) const {
        return pixels + static_cast<size_t>(y) * static_cast<size_t>(stride) +
               static_cast<size_t>(x) * 4;
    }
    // `color` scaled by `cover` (0..255) over the pixel.
    void Blend(int x, int y, const Rgba& color, unsigned cover) const {
        unsigned a = (color.a * cover + 127) / 255;
        if (a == 0) return;
        uint8_t* p = At(x, y);
        const unsigned source[4] = {color.r * a, color.g * a, color.b * a, a * 255};
        for (int c = 0; c < 4; ++c)
            p[c] = static_cast<uint8_t>((source[c] + p[c] * (255 - a) + 127) / 255);
    }
};

void FillBox(const Surface& surface, const RECT& box, const Rgba& color) {
    for (LONG y = box.top; y < box.bottom; ++y)
        for (LONG x = box.left; x < box.right; ++x) surface.Blend(x, y, color, 255);
}

RECT Intersection(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

// Field text for display: the runtime keeps fields' text plain (HTML already read), so
// only Flash's "\r" line breaks are turned into "\n" and passwords masked.
std::string DisplayText(const player::EditText& field) {
    const std::string& source = field.text();
    std::string out;
    out.reserve(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        char c = source[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < source.size() && source[i + 1] == '\n') ++i;
            continue;
        }
        out += c;
    }
    if (field.format().password) {
        for (char& c : out)
            if (c != '\n') c = '*';
    }
    return out;
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    // Movie texts are UTF-8; text that is not valid UTF-8 is taken as the ANSI code page.
    UINT codePage = CP_UTF8;
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                                static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) {
        codePage = CP_ACP;
        n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                0);
    }
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

// The field's background and its one-pixel frame, each in its own colour.
void PaintBackgroundAndBorder(const Surface& surface, const RECT& box, const RECT& visible,
                              const player::EditTextDefinition& format,
                              const player::ColorTransform& transform) {
    if (format.background) FillBox(surface, visible, transform.apply(format.backgroundColor));
    if (!format.border) return;
    Rgba frame = transform.apply(format.borderColor);
    const RECT sides[] = {{box.left, box.top, box.right, box.top + 1},
                          {box.left, box.bottom - 1, box.right, box.bottom},
                          {box.left, box.top, box.left + 1, box.bottom},
                          {box.right - 1, box.top, box.right, box.bottom}};
    for (const RECT& side : sides) FillBox(surface, Intersection(side, visible), frame);
}

}  // namespace

/* The text is drawn white on black into a DIB the size of the visible part of the
 * field, anti-aliased by GDI; its brightness is then the text's coverage of each
 * pixel, with which the text colour is blended onto the frame. */
void GdiTextPainter::PaintText(const player::RenderItem& item, const Matrix& m, uint8_t* pixels,
                               int width, int height, int stride) {
    if (!item.text || !pixels) return;
    const player::EditText& field = *item.text;
    const player::EditTextDefinition& format = field.format();
    const Surface surface{pixels, width, height, stride};
    RECT box = PixelBounds(m, format.bounds);
    RECT visible = Intersection(box, RECT{0, 0, width, height});
    if (visible.right <= visible.left || visible.bottom <= visible.top) return;
    PaintBackgroundAndBorder(surface, box, visible, format, item.colorTransform);
    Rgba color = item.colorTransform.apply(format.textColor);
    if (color.a == 0) return;
    std::wstring text = Widen(DisplayText(field));
    if (text.empty()) return;

    int w = visible.right - visible.left, h = visible.bottom - visible.top;
    MemoryDC dc(CreateCompatibleDC(nullptr));
    if (!dc.get()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return;
    SelectedObject selectedBitmap(dc.get(), bitmap.get());
    std::fill_n(static_cast<uint32_t*>(bits), static_cast<size_t>(w) * static_cast<size_t>(h), 0u);

    double scaleX = std::sqrt(m.a * m.a + m.b * m.b), scaleY = std::sqrt(m.c * m.c + m.d * m.d);
    int heightPx = std::max(1, static_cast<int>(std::lround(format.fontHeight * scaleY)));
    GdiObject<HFONT> font(CreateFontA(-heightPx, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial"));
    SelectedObject selectedFont(dc.get(), font.get());
    SetTextColor(dc.get(), RGB(255, 255, 255));
    SetBkMode(dc.get(), TRANSPARENT);
    // Flash keeps a 2-pixel gutter inside the field.
    RECT inner{
        box.left + static_cast<LONG>(std::lround(2 * 20 * scaleX + format.leftMargin * scaleX)),
        box.top + static_cast<LONG>(std::lround(2 * 20 * scaleY)),
        box.right - static_cast<LONG>(std::lround(2 * 20 * scaleX + format.rightMargin * scaleX)),
        box.bottom};
    OffsetRect(&inner, -visible.left, -visible.top);
    UINT flags = DT_NOPREFIX;
    flags |= format.align == 1 ? DT_RIGHT : format.align == 2 ? DT_CENTER : DT_LEFT;
    if (format.wordWrap) flags |= DT_WORDBREAK;
    if (!format.multiline && !format.wordWrap) flags |= DT_SINGLELINE;
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &inner, flags);
    GdiFlush();

    const uint32_t* drawn = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t p = drawn[static_cast<size_t>(y) * static_cast<size_t>(w) + x];
            // Sub-pixel text colours its edges: the brightest channel is the cover.
            unsigned cover = std::max({p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF});
            if (cover) surface.Blend(visible.left + x, visible.top + y, color, cover);
        }
    }
}

}  // namespace kestrel::shell
