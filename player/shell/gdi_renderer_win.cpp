#include "player/shell/gdi_renderer_win.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "common/win_handles.h"
#include "player/core/display_object.h"

namespace kestrel::shell {

using player::ColorTransform;
using player::Matrix;
using player::PathCommand;
using player::Point;
using player::Rect;
using player::RenderItem;
using player::RenderList;
using player::Rgba;

namespace {

// Alpha at or above this is drawn solid: the blend would not be visible.
constexpr uint8_t kOpaqueEnough = 250;

COLORREF ToColorRef(const Rgba& c) {
    return RGB(c.r, c.g, c.b);
}

POINT ToPoint(const Matrix& m, double x, double y) {
    Point p = m.apply(x, y);
    // Far-off coordinates are clamped so GDI's 32-bit (really 27-bit) space holds them.
    auto clampCoord = [](double v) {
        return static_cast<LONG>(std::lround(std::clamp(v, -1.0e7, 1.0e7)));
    };
    return POINT{clampCoord(p.x), clampCoord(p.y)};
}

// Emits the commands as a GDI path; quadratic curves become cubic Béziers.
void TracePath(HDC dc, const Matrix& m, const std::vector<PathCommand>& commands) {
    BeginPath(dc);
    double px = 0, py = 0;
    for (const PathCommand& c : commands) {
        switch (c.kind) {
            case PathCommand::MoveTo: {
                POINT p = ToPoint(m, c.x, c.y);
                MoveToEx(dc, p.x, p.y, nullptr);
                break;
            }
            case PathCommand::LineTo: {
                POINT p = ToPoint(m, c.x, c.y);
                LineTo(dc, p.x, p.y);
                break;
            }
            case PathCommand::QuadTo: {
                POINT cubic[3] = {
                    ToPoint(m, px + 2.0 / 3.0 * (c.cx - px), py + 2.0 / 3.0 * (c.cy - py)),
                    ToPoint(m, c.x + 2.0 / 3.0 * (c.cx - c.x), c.y + 2.0 / 3.0 * (c.cy - c.y)),
                    ToPoint(m, c.x, c.y)};
                PolyBezierTo(dc, cubic, 3);
                break;
            }
        }
        px = c.x;
        py = c.y;
    }
    EndPath(dc);
}

double StrokeScale(const Matrix& m) {
    return std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
}

GdiObject<HPEN> MakePen(const Rgba& color, double widthPx) {
    if (widthPx <= 1.5) return GdiObject<HPEN>(CreatePen(PS_SOLID, 1, ToColorRef(color)));
    LOGBRUSH brush{BS_SOLID, ToColorRef(color), 0};
    return GdiObject<HPEN>(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                        static_cast<DWORD>(std::lround(widthPx)), &brush, 0,
                                        nullptr));
}

void FillSolid(HDC dc, const Matrix& m, const player::FillPath& fill, const Rgba& color,
               bool nonZero) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(color)));
    if (!brush) return;
    SelectedObject selected(dc, brush.get());
    SetPolyFillMode(dc, nonZero ? WINDING : ALTERNATE);
    TracePath(dc, m, fill.commands);
    FillPath(dc);
}

void StrokeSolid(HDC dc, const Matrix& m, const player::StrokePath& stroke, const Rgba& color) {
    double widthPx = stroke.width > 0 ? stroke.width * StrokeScale(m) : 1;
    GdiObject<HPEN> pen = MakePen(color, widthPx);
    if (!pen) return;
    SelectedObject selected(dc, pen.get());
    TracePath(dc, m, stroke.commands);
    StrokePath(dc);
}

// Draws `draw` solid into a copy of the area and blends the copy back with a
// constant alpha: outside the shape the copy equals the target, so only the
// shape's pixels change. GDI has no per-primitive alpha; this is the cheapest
// way to get one.
template <typename Draw>
void DrawBlended(HDC dc, RECT area, int width, int height, uint8_t alpha, Draw draw) {
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, width);
    area.bottom = std::min<LONG>(area.bottom, height);
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return;
    MemoryDC copy(CreateCompatibleDC(dc));
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, w, h));
    if (!copy.get() || !bitmap) return;
    SelectedObject selected(copy.get(), bitmap.get());
    BitBlt(copy.get(), 0, 0, w, h, dc, area.left, area.top, SRCCOPY);
    SetViewportOrgEx(copy.get(), -area.left, -area.top, nullptr);
    draw(copy.get());
    SetViewportOrgEx(copy.get(), 0, 0, nullptr);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    AlphaBlend(dc, area.left, area.top, w, h, copy.get(), 0, 0, w, h, blend);
}

RECT PixelBounds(const Matrix& m, const Rect& bounds, double margin) {
    Rect r = m.transformRect(bounds);
    if (r.isEmpty()) return RECT{0, 0, 0, 0};
    auto clampCoord = [](double v) { return static_cast<LONG>(std::clamp(v, -1.0e7, 1.0e7)); };
    return RECT{clampCoord(std::floor(r.xMin - margin)), clampCoord(std::floor(r.yMin - margin)),
                clampCoord(std::ceil(r.xMax + margin)) + 1,
                clampCoord(std::ceil(r.yMax + margin)) + 1};
}

void DrawShape(HDC dc, int width, int height, const Matrix& m, const RenderItem& item) {
    const player::ShapeDefinition& shape = *item.shape;
    for (const player::FillPath& fill : shape.fills) {
        Rgba color = item.colorTransform.apply(fill.color);
        if (color.a == 0) continue;
        if (color.a >= kOpaqueEnough) {
            FillSolid(dc, m, fill, color, shape.nonZeroWinding);
        } else {
            DrawBlended(
                dc, PixelBounds(m, shape.bounds, 2), width, height, color.a,
                [&](HDC target) { FillSolid(target, m, fill, color, shape.nonZeroWinding); });
        }
    }
    for (const player::StrokePath& stroke : shape.strokes) {
        Rgba color = item.colorTransform.apply(stroke.color);
        if (color.a == 0) continue;
        if (color.a >= kOpaqueEnough) {
            StrokeSolid(dc, m, stroke, color);
        } else {
            double margin = stroke.width * StrokeScale(m) + 2;
            DrawBlended(dc, PixelBounds(m, shape.bounds, margin), width, height, color.a,
                        [&](HDC target) { StrokeSolid(target, m, stroke, color); });
        }
    }
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

void DrawField(HDC dc, const Matrix& m, const RenderItem& item) {
    const player::EditText& field = *item.text;
    const player::EditTextDefinition& format = field.format();
    RECT box = PixelBounds(m, format.bounds, 0);
    box.right -= 1;
    box.bottom -= 1;
    if (box.right <= box.left || box.bottom <= box.top) return;
    if (format.background) {
        GdiObject<HBRUSH> fill(
            CreateSolidBrush(ToColorRef(item.colorTransform.apply(format.backgroundColor))));
        if (fill) FillRect(dc, &box, fill.get());
    }
    if (format.border) {
        GdiObject<HBRUSH> frame(
            CreateSolidBrush(ToColorRef(item.colorTransform.apply(format.borderColor))));
        if (frame) FrameRect(dc, &box, frame.get());
    }
    Rgba color = item.colorTransform.apply(format.textColor);
    if (color.a < 128) return;  // text is drawn solid or not at all
    std::wstring text = Widen(DisplayText(field));
    if (text.empty()) return;

    double scaleY = std::sqrt(m.c * m.c + m.d * m.d);
    int heightPx = std::max(1, static_cast<int>(std::lround(format.fontHeight * scaleY)));
    GdiObject<HFONT> font(CreateFontA(-heightPx, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial"));
    SelectedObject selectedFont(dc, font.get());
    SetTextColor(dc, ToColorRef(color));
    SetBkMode(dc, TRANSPARENT);
    // Flash keeps a 2-pixel gutter inside the field.
    double scaleX = std::sqrt(m.a * m.a + m.b * m.b);
    RECT inner{
        box.left + static_cast<LONG>(std::lround(2 * 20 * scaleX + format.leftMargin * scaleX)),
        box.top + static_cast<LONG>(std::lround(2 * 20 * scaleY)),
        box.right - static_cast<LONG>(std::lround(2 * 20 * scaleX + format.rightMargin * scaleX)),
        box.bottom};
    UINT flags = DT_NOPREFIX | DT_NOCLIP;
    flags |= format.align == 1 ? DT_RIGHT : format.align == 2 ? DT_CENTER : DT_LEFT;
    if (format.wordWrap) flags |= DT_WORDBREAK;
    if (!format.multiline && !format.wordWrap) flags |= DT_SINGLELINE;
    SavedDcState saved(dc);
    IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner, flags);
}

// Adds the fills of a mask shape to `region` (created on first use).
void AddMaskShape(HDC dc, const Matrix& m, const player::ShapeDefinition& shape, Region& region) {
    for (const player::FillPath& fill : shape.fills) {
        SetPolyFillMode(dc, shape.nonZeroWinding ? WINDING : ALTERNATE);
        TracePath(dc, m, fill.commands);
        Region part(PathToRegion(dc));
        if (!part) continue;
        if (!region)
            region = std::move(part);
        else
            CombineRgn(region.get(), region.get(), part.get(), RGN_OR);
    }
}

}  // namespace

player::StageMapping MappingFor(const RenderList& list, int width, int height,
                                const RenderOptions& options) {
    return player::computeStageMapping(list.stageRect.width() / player::kTwipsPerPixel,
                                       list.stageRect.height() / player::kTwipsPerPixel, width,
                                       height, options.scale, options.align);
}

void RenderFrame(HDC dc, int width, int height, const RenderList& list,
                 const RenderOptions& options) {
    if (!dc || width <= 0 || height <= 0) return;
    SavedDcState saved(dc);
    if (!options.transparent) {
        Rgba background = options.background ? *options.background : list.background;
        GdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(background)));
        RECT all{0, 0, width, height};
        if (brush) FillRect(dc, &all, brush.get());
    }
    SelectedObject noPen(dc, GetStockObject(NULL_PEN));
    Matrix toWindow = MappingFor(list, width, height, options).twipsToWindow(list.stageRect);
    // Masks: the shapes of a mask become a region; the masked items are drawn with
    // the clip narrowed to it (SaveDC/RestoreDC brackets, so masks nest).
    int maskDefinitionLevel = 0;
    Region maskRegion;
    int openMasks = 0;
    for (const RenderItem& item : list.items) {
        Matrix m = toWindow.multiply(item.matrix);
        switch (item.kind) {
            case RenderItem::BeginMask:
                ++maskDefinitionLevel;
                break;
            case RenderItem::MaskContent:
                if (maskDefinitionLevel > 0) --maskDefinitionLevel;
                if (maskDefinitionLevel == 0) {
                    SaveDC(dc);
                    ++openMasks;
                    if (maskRegion) {
                        ExtSelectClipRgn(dc, maskRegion.get(), RGN_AND);
                        maskRegion.reset();
                    } else {
                        IntersectClipRect(dc, 0, 0, 0, 0);  // an empty mask shows nothing
                    }
                }
                break;
            case RenderItem::EndMask:
                if (openMasks > 0) {
                    RestoreDC(dc, -1);
                    --openMasks;
                }
                break;
            case RenderItem::Shape:
                if (!item.shape) break;
                if (maskDefinitionLevel > 0)
                    AddMaskShape(dc, m, *item.shape, maskRegion);
                else
                    DrawShape(dc, width, height, m, item);
                break;
            case RenderItem::Text:
                if (item.text && maskDefinitionLevel == 0) DrawField(dc, m, item);
                break;
        }
    }
    while (openMasks-- > 0) RestoreDC(dc, -1);
}

}  // namespace kestrel::shell
