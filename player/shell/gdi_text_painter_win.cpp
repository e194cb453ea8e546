#include "player/shell/gdi_text_painter_win.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/win_handles.h"
#include "player/core/display_object.h"
#include "player/runtime/field_layout.h"

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

// Flash's names for the system's own fonts.
std::wstring FaceOf(const std::string& name) {
    if (name == "_sans" || name.empty()) return L"Arial";
    if (name == "_serif") return L"Times New Roman";
    if (name == "_typewriter") return L"Courier New";
    int n = MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    if (n <= 0 || n >= LF_FACESIZE) return L"Arial";
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), &wide[0], n);
    return wide;
}

// A DIB section the size of the visible part of a field, selected into its own DC.
struct Scratch {
    MemoryDC dc{CreateCompatibleDC(nullptr)};
    GdiObject<HBITMAP> bitmap;
    uint32_t* bits = nullptr;  // not owned: the section's pixels
    int width = 0, height = 0;

    bool Create(int w, int h) {
        if (!dc.get()) return false;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* pixels = nullptr;
        bitmap.reset(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
        if (!bitmap || !pixels) return false;
        bits = static_cast<uint32_t*>(pixels);
        width = w;
        height = h;
        return true;
    }
};

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

// The fonts of one field's runs: many runs share a few.
class RunFonts {
  public:
    // Null when GDI has none to give.
    HFONT Find(const player::TextRunFormat& run, int heightPx) {
        for (Entry& e : fonts_)
            if (e.heightPx == heightPx && e.bold == run.bold && e.italic == run.italic &&
                e.underline == run.underline && e.name == run.fontName)
                return e.font.get();
        // A field of endless different formats keeps only a few fonts at a time.
        if (fonts_.size() == kMaxFonts) fonts_.clear();
        Entry e{heightPx, run.bold, run.italic, run.underline, run.fontName, {}};
        e.font.reset(CreateFontW(-heightPx, 0, 0, 0, run.bold ? FW_BOLD : FW_NORMAL, run.italic,
                                 run.underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, FaceOf(run.fontName).c_str()));
        if (!e.font) return nullptr;
        fonts_.push_back(std::move(e));
        return fonts_.back().font.get();
    }

  private:
    static constexpr size_t kMaxFonts = 32;
    struct Entry {
        int heightPx;
        bool bold, italic, underline;
        std::string name;
        GdiObject<HFONT> font;
    };
    std::vector<Entry> fonts_;
};

// Characters [begin, end) of one run, the first at `x` on `baseline` (field twips),
// each at its laid-out place.
void PaintRun(Scratch& scratch, const Surface& surface, const RECT& visible, const Matrix& m,
              double scaleY, const runtime::FieldLayout& layout, size_t begin, size_t end, double x,
              double baseline, const player::TextRunFormat& run, const Rgba& color, RunFonts& fonts,
              std::vector<INT>& dx) {
    if (color.a == 0 || begin >= end) return;
    int heightPx = static_cast<int>(std::clamp(std::lround(run.heightTwips * scaleY), 1L, 4096L));
    HFONT font = fonts.Find(run, heightPx);
    if (!font) return;
    std::wstring text;
    dx.clear();
    player::Point start = m.apply(x, baseline);
    if (!std::isfinite(start.x) || !std::isfinite(start.y) || std::fabs(start.x) > 1e7 ||
        std::fabs(start.y) > 1e7)
        return;
    LONG left = std::lround(start.x), baselinePx = std::lround(start.y), previous = left;
    for (size_t i = begin; i < end; ++i) {
        char32_t c = layout.text[i];
        // The laid-out text is UTF-16 units; control characters show as spaces.
        text.push_back(c < 0x20 ? L' ' : static_cast<wchar_t>(c));
        x += layout.advances[i];
        double next = m.apply(x, baseline).x;
        LONG nextPx = std::isfinite(next) ? std::lround(std::clamp(next, -1e7, 1e7)) : previous;
        dx.push_back(static_cast<INT>(nextPx - previous));
        previous = nextPx;
    }
    // The stretch the run can reach (italics and accents a little past its box) is
    // cleared, drawn into and blended from.
    LONG pad = heightPx / 2 + 2;
    RECT reach = Intersection(RECT{std::min(left, previous) - pad, baselinePx - 2 * heightPx,
                                   std::max(left, previous) + pad, baselinePx + heightPx},
                              visible);
    if (reach.right <= reach.left || reach.bottom <= reach.top) return;
    OffsetRect(&reach, -visible.left, -visible.top);
    GdiFlush();
    for (LONG y = reach.top; y < reach.bottom; ++y)
        std::fill_n(scratch.bits + static_cast<size_t>(y) * scratch.width + reach.left,
                    reach.right - reach.left, 0u);
    SelectedObject selectedFont(scratch.dc.get(), font);
    ExtTextOutW(scratch.dc.get(), left - visible.left, baselinePx - visible.top, 0, nullptr,
                text.c_str(), static_cast<UINT>(text.size()), dx.data());
    GdiFlush();
    for (LONG y = reach.top; y < reach.bottom; ++y) {
        for (LONG x = reach.left; x < reach.right; ++x) {
            uint32_t p = scratch.bits[static_cast<size_t>(y) * scratch.width + x];
            // Sub-pixel text colours its edges: the brightest channel is the cover.
            unsigned cover = std::max({p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF});
            if (cover) surface.Blend(visible.left + x, visible.top + y, color, cover);
        }
    }
}

}  // namespace

/* The text is laid out by the runtime, as the metrics scripts read measure it, and
 * drawn a run of one format at a time: white on black into a cleared stretch of a DIB
 * the size of the visible part of the field, each character at its laid-out place,
 * anti-aliased by GDI; the brightness there is then the run's coverage of each pixel,
 * with which the run's colour is blended onto the frame. Neighbouring runs never mix:
 * each is drawn alone. */
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
    runtime::FieldLayout layout = runtime::LayOutField(field);
    if (layout.lines.empty()) return;

    Scratch scratch;
    if (!scratch.Create(visible.right - visible.left, visible.bottom - visible.top)) return;
    SelectedObject selectedBitmap(scratch.dc.get(), scratch.bitmap.get());
    SetTextColor(scratch.dc.get(), RGB(255, 255, 255));
    SetBkMode(scratch.dc.get(), TRANSPARENT);
    SetTextAlign(scratch.dc.get(), TA_BASELINE | TA_LEFT | TA_NOUPDATECP);

    double scaleY = std::sqrt(m.c * m.c + m.d * m.d);
    RunFonts fonts;
    std::vector<INT> dx;
    for (const runtime::FieldLine& line : layout.lines) {
        double x = line.left;
        for (size_t begin = line.begin; begin < line.end;) {
            uint32_t f = layout.formatOf[begin];
            size_t end = begin;
            double runX = x;
            while (end < line.end && layout.formatOf[end] == f) x += layout.advances[end++];
            const player::TextRunFormat& run = layout.formats[f];
            PaintRun(scratch, surface, visible, m, scaleY, layout, begin, end, runX, line.baseline,
                     run, item.colorTransform.apply(run.color), fonts, dx);
            begin = end;
        }
    }
}

}  // namespace kestrel::shell
