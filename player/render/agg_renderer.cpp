#include "player/render/agg_renderer.h"

#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_compound_aa.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "player/render/bitmap_fill.h"
#include "player/render/gradient_ramp.h"

namespace kestrel::render {

using player::ColorTransform;
using player::FillStyle;
using player::Matrix;
using player::Point;
using player::RenderItem;
using player::RenderList;
using player::Rgba;
using player::ShapeDefinition;
using player::ShapeEdge;

namespace {

// Premultiplied while drawing, so the layered compound renderer can mix the
// partial covers of neighbouring fills; made straight again at the end.
using PixelFormat = agg::pixfmt_rgba32_pre;
using BaseRenderer = agg::renderer_base<PixelFormat>;

// Curves are flattened until no point strays more than this many pixels.
constexpr double kFlatness = 0.1;
// Discs (round caps and joins) are small, so their outline must be finer to keep
// the covered area within what 8 bits of coverage can show.
constexpr double kDiscFlatness = 0.02;
// Coordinates beyond this many pixels are clipped away anyway; past it doubles
// would only bring overflow.
constexpr double kFarAway = 1.0e7;

agg::rgba8 Premultiplied(const Rgba& c) {
    agg::rgba8 color(c.r, c.g, c.b, c.a);
    color.premultiply();
    return color;
}

bool Finite(const Matrix& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

Point Clamped(Point p) {
    return Point{std::clamp(p.x, -kFarAway, kFarAway), std::clamp(p.y, -kFarAway, kFarAway)};
}

// The points of a quadratic curve after its start, all in pixels.
void FlattenQuad(Point p0, Point c, Point end, std::vector<Point>& out) {
    // A quadratic cut into n equal steps strays at most |p0 - 2c + p1| / (8 n^2).
    double bend = std::hypot(p0.x - 2 * c.x + end.x, p0.y - 2 * c.y + end.y);
    int steps = static_cast<int>(std::ceil(std::sqrt(bend / (8 * kFlatness))));
    steps = std::clamp(steps, 1, 1000);
    for (int i = 1; i < steps; ++i) {
        double t = static_cast<double>(i) / steps, u = 1 - t;
        out.push_back(Point{u * u * p0.x + 2 * u * t * c.x + t * t * end.x,
                            u * u * p0.y + 2 * u * t * c.y + t * t * end.y});
    }
    out.push_back(end);
}

// The points of an edge after its start, in pixels.
void FlattenEdge(const ShapeEdge& e, const Matrix& m, std::vector<Point>& out) {
    Point end = Clamped(m.apply(static_cast<double>(e.x1), static_cast<double>(e.y1)));
    if (!e.curve) {
        out.push_back(end);
        return;
    }
    Point p0 = Clamped(m.apply(static_cast<double>(e.x0), static_cast<double>(e.y0)));
    Point c = Clamped(m.apply(static_cast<double>(e.cx), static_cast<double>(e.cy)));
    FlattenQuad(p0, c, end, out);
}

// The fill styles of one shape as the compound renderer asks for them.
class ShapeStyles {
  public:
    using color_type = agg::rgba8;

    // `maskArea`: every fill paints opaque white, as a mask only has an area.
    ShapeStyles(const ShapeDefinition& shape, const Matrix& shapeToPixels,
                const ColorTransform& transform, bool maskArea) {
        styles_.reserve(shape.fillStyles.size());
        for (const FillStyle& fill : shape.fillStyles) {
            Style style;
            style.kind = fill.kind;
            if (maskArea) {
                style.color = agg::rgba8(255, 255, 255, 255);
                styles_.push_back(style);
                continue;
            }
            style.color = Premultiplied(transform.apply(fill.color));
            if (fill.kind == FillStyle::Bitmap) {
                // A bitmap that is missing or cannot be drawn leaves its area empty.
                style.solid = !style.bitmap.Prepare(fill, shapeToPixels, transform);
                style.color = agg::rgba8(0, 0, 0, 0);
                styles_.push_back(style);
                continue;
            }
            bool gradient = fill.kind == FillStyle::LinearGradient ||
                            fill.kind == FillStyle::RadialGradient ||
                            fill.kind == FillStyle::FocalGradient;
            if (gradient && shapeToPixels.multiply(fill.matrix).invert(style.pixelsToGradient)) {
                style.solid = false;
                style.spread = fill.spread;
                style.focalPoint = fill.focalPoint;
                GradientRamp ramp = BuildGradientRamp(fill.stops, transform, fill.linearRgb);
                for (size_t i = 0; i < ramp.size(); ++i) style.ramp[i] = Premultiplied(ramp[i]);
            }
            styles_.push_back(style);
        }
    }

    bool is_solid(unsigned style) const { return styles_[style].solid; }
    const agg::rgba8& color(unsigned style) const { return styles_[style].color; }

    void generate_span(agg::rgba8* span, int x, int y, unsigned len, unsigned index) {
        const Style& style = styles_[index];
        if (style.kind == FillStyle::Bitmap) {
            style.bitmap.Generate(span, x, y, len);
            return;
        }
        const Matrix& m = style.pixelsToGradient;
        // Each pixel is sampled at its centre.
        double px = x + 0.5, py = y + 0.5;
        for (unsigned i = 0; i < len; ++i, px += 1) {
            Point g = m.apply(px, py);
            double t = GradientPosition(style.kind, g.x, g.y, style.focalPoint);
            span[i] = style.ramp[RampIndex(ApplySpread(style.spread, t))];
        }
    }

  private:
    struct Style {
        bool solid = true;
        FillStyle::Kind kind = FillStyle::Solid;
        agg::rgba8 color;
        Matrix pixelsToGradient;
        FillStyle::Spread spread = FillStyle::Pad;
        double focalPoint = 0;
        agg::rgba8 ramp[256];
        BitmapFill bitmap;
    };
    std::vector<Style> styles_;
};

// A premultiplied RGBA surface: the frame itself, or a layer the frame's size.
struct Surface {
    std::vector<uint8_t> own;  // a layer's pixels; empty for the frame
    agg::rendering_buffer buffer;
    PixelFormat format{buffer};
    BaseRenderer base{format};

    Surface(uint8_t* pixels, int width, int height)
        : buffer(pixels, static_cast<unsigned>(width), static_cast<unsigned>(height), width * 4) {}
    // A transparent layer.
    static std::unique_ptr<Surface> Layer(int width, int height) {
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4,
                                    0);
        auto layer = std::make_unique<Surface>(pixels.data(), width, height);
        layer->own = std::move(pixels);  // the heap block moves, its address stays
        return layer;
    }
};

struct Canvas {
    BaseRenderer* target;   // not owned: the surface being painted
    bool maskArea = false;  // painting a mask's area, not colours
    agg::scanline_u8 scanline;
    agg::span_allocator<agg::rgba8> spans;
    agg::rasterizer_compound_aa<agg::rasterizer_sl_clip_dbl> compound;
    agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> single;
    std::vector<Point> points;

    explicit Canvas(BaseRenderer& frame) : target(&frame) {
        double w = frame.width(), h = frame.height();
        compound.clip_box(0, 0, w, h);
        single.clip_box(0, 0, w, h);
    }
};

// Every edge with a fill on either side goes into the compound rasteriser with its
// two styles: the fills come out exactly, with no contour building.
void FillShapeEdges(Canvas& canvas, const ShapeDefinition& shape, const Matrix& m,
                    const ColorTransform& transform) {
    auto& ras = canvas.compound;
    ras.reset();
    ras.layer_order(agg::layer_direct);
    for (const ShapeEdge& e : shape.edges) {
        if (e.fill0 == 0 && e.fill1 == 0) continue;
        ras.styles(e.fill0 - 1, e.fill1 - 1);
        Point start = Clamped(m.apply(static_cast<double>(e.x0), static_cast<double>(e.y0)));
        ras.move_to_d(start.x, start.y);
        canvas.points.clear();
        FlattenEdge(e, m, canvas.points);
        for (const Point& p : canvas.points) ras.line_to_d(p.x, p.y);
    }
    ShapeStyles styles(shape, m, transform, canvas.maskArea);
    agg::render_scanlines_compound_layered(ras, canvas.scanline, *canvas.target, canvas.spans,
                                           styles);
}

// Shapes without edges (text made of glyphs) keep closed contours per colour.
void FillContours(Canvas& canvas, const ShapeDefinition& shape, const Matrix& m,
                  const ColorTransform& transform) {
    auto& ras = canvas.single;
    ras.filling_rule(shape.nonZeroWinding ? agg::fill_non_zero : agg::fill_even_odd);
    for (const player::FillPath& fill : shape.fills) {
        Rgba color = canvas.maskArea ? Rgba{255, 255, 255, 255} : transform.apply(fill.color);
        if (color.a == 0) continue;
        ras.reset();
        Point at{0, 0};
        for (const player::PathCommand& c : fill.commands) {
            if (c.kind == player::PathCommand::MoveTo) {
                at = Clamped(m.apply(c.x, c.y));
                ras.move_to_d(at.x, at.y);
                continue;
            }
            Point end = Clamped(m.apply(c.x, c.y));
            canvas.points.clear();
            if (c.kind == player::PathCommand::QuadTo)
                FlattenQuad(at, Clamped(m.apply(c.cx, c.cy)), end, canvas.points);
            else
                canvas.points.push_back(end);
            for (const Point& p : canvas.points) ras.line_to_d(p.x, p.y);
            at = end;
        }
        agg::render_scanlines_aa_solid(ras, canvas.scanline, *canvas.target, Premultiplied(color));
    }
}

using SingleRasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

// Every piece of a stroke is a closed polygon of negative signed area (clockwise on
// screen), so that filled together with the non-zero rule they add up to their union.

// The outline of a disc of one radius, as offsets from its centre.
std::vector<Point> DiscOutline(double r) {
    double step = std::acos(1 - std::min(kDiscFlatness / r, 1.0));
    int n = std::clamp(static_cast<int>(std::ceil(3.14159265358979 / step)), 8, 256);
    std::vector<Point> outline(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        double angle = -2 * 3.14159265358979 * i / n;
        outline[i] = Point{r * std::cos(angle), r * std::sin(angle)};
    }
    return outline;
}

void AddDisc(SingleRasterizer& ras, Point c, const std::vector<Point>& outline) {
    ras.move_to_d(c.x + outline[0].x, c.y + outline[0].y);
    for (size_t i = 1; i < outline.size(); ++i)
        ras.line_to_d(c.x + outline[i].x, c.y + outline[i].y);
    ras.close_polygon();
}

// The offset of a segment's sides: its direction turned a quarter and scaled to r.
Point SideOffset(Point p, Point q, double r) {
    double dx = q.x - p.x, dy = q.y - p.y;
    double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0) return Point{0, 0};
    return Point{-dy / length * r, dx / length * r};
}

void AddSegment(SingleRasterizer& ras, Point p, Point q, Point n) {
    ras.move_to_d(p.x + n.x, p.y + n.y);
    ras.line_to_d(q.x + n.x, q.y + n.y);
    ras.line_to_d(q.x - n.x, q.y - n.y);
    ras.line_to_d(p.x - n.x, p.y - n.y);
    ras.close_polygon();
}

void AddTriangle(SingleRasterizer& ras, Point a, Point b, Point c) {
    double area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    if (area > 0) std::swap(b, c);
    ras.move_to_d(a.x, a.y);
    ras.line_to_d(b.x, b.y);
    ras.line_to_d(c.x, c.y);
    ras.close_polygon();
}

// Where a flattened curve turns by a few degrees, the boxes of its two steps leave
// a thin wedge open on the outside of the turn: two triangles close both sides.
void AddBend(SingleRasterizer& ras, Point q, Point n1, Point n2) {
    AddTriangle(ras, q, Point{q.x + n1.x, q.y + n1.y}, Point{q.x + n2.x, q.y + n2.y});
    AddTriangle(ras, q, Point{q.x - n1.x, q.y - n1.y}, Point{q.x - n2.x, q.y - n2.y});
}

// Each line style's edges as the union of a box per segment, a disc at every edge's
// ends (Flash's round caps and joins) and bends inside curves.
void StrokeShapeEdges(Canvas& canvas, const ShapeDefinition& shape, const Matrix& m,
                      const ColorTransform& transform) {
    auto& ras = canvas.single;
    ras.filling_rule(agg::fill_non_zero);
    double scale = std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
    for (size_t style = 0; style < shape.lineStyles.size(); ++style) {
        Rgba color = transform.apply(shape.lineStyles[style].color);
        if (color.a == 0) continue;
        // Hairlines and lines thinner than a pixel are drawn one pixel wide.
        double radius = std::max(shape.lineStyles[style].width * scale, 1.0) / 2;
        std::vector<Point> disc;
        ras.reset();
        for (const ShapeEdge& e : shape.edges) {
            if (e.line != static_cast<int>(style + 1)) continue;
            if (disc.empty()) disc = DiscOutline(radius);
            Point p = Clamped(m.apply(static_cast<double>(e.x0), static_cast<double>(e.y0)));
            canvas.points.clear();
            FlattenEdge(e, m, canvas.points);
            AddDisc(ras, p, disc);
            Point previousSide{0, 0};
            for (size_t i = 0; i < canvas.points.size(); ++i) {
                Point q = canvas.points[i];
                Point side = SideOffset(p, q, radius);
                if (i > 0) AddBend(ras, p, previousSide, side);
                AddSegment(ras, p, q, side);
                previousSide = side;
                p = q;
            }
            AddDisc(ras, p, disc);
        }
        if (!disc.empty())
            agg::render_scanlines_aa_solid(ras, canvas.scanline, *canvas.target,
                                           Premultiplied(color));
    }
}

void DrawShape(Canvas& canvas, const RenderItem& item, const Matrix& stageToPixels) {
    Matrix m = stageToPixels.multiply(item.matrix);
    if (!Finite(m)) return;
    const ShapeDefinition& shape = *item.shape;
    // Shapes wholly outside the surface cost nothing: their declared bounds (which
    // include half their widest line) are trusted, as players trust them.
    player::Rect box = m.transformRect(shape.bounds);
    double width = canvas.target->width(), height = canvas.target->height();
    if (!box.isEmpty() &&
        (box.xMax < -1 || box.yMax < -1 || box.xMin > width + 1 || box.yMin > height + 1))
        return;
    if (!shape.edges.empty() && !shape.fillStyles.empty())
        FillShapeEdges(canvas, shape, m, item.colorTransform);
    else if (shape.edges.empty())
        FillContours(canvas, shape, m, item.colorTransform);
    // A mask is the area of its fills; its lines take no part.
    if (!shape.lineStyles.empty() && !canvas.maskArea)
        StrokeShapeEdges(canvas, shape, m, item.colorTransform);
}

/* Masks arrive as brackets: BeginMask, the mask's shapes, MaskContent, what it
 * masks, EndMask. The mask's shapes paint their area into a layer of their own;
 * what it masks paints into a second layer; at EndMask the second layer goes onto
 * the surface below, each pixel weighted by the mask's coverage there. Brackets
 * nest: an inner mask lands on its outer mask's content layer, which its own
 * EndMask masks in turn. Brackets that do not match (bad data) are closed at the
 * end of the list as if they had ended there. */
struct MaskBracket {
    BaseRenderer* below;  // not owned: where the masked content lands
    std::unique_ptr<Surface> area;
    std::unique_ptr<Surface> content;  // null until MaskContent
};

void CompositeMasked(const Surface& content, const Surface& area, BaseRenderer& below) {
    PixelFormat& dst = below.ren();
    unsigned width = below.width(), height = below.height();
    for (unsigned y = 0; y < height; ++y) {
        const uint8_t* src = content.buffer.row_ptr(static_cast<int>(y));
        const uint8_t* mask = area.buffer.row_ptr(static_cast<int>(y));
        uint8_t* out = dst.row_ptr(static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, src += 4, mask += 4, out += 4) {
            unsigned m = mask[3];
            if (m == 0 || src[3] == 0) continue;
            // Premultiplied "over" with the source scaled by the mask's coverage.
            unsigned a = (src[3] * m + 127) / 255;
            for (int c = 0; c < 4; ++c) {
                unsigned s = (src[c] * m + 127) / 255;
                out[c] = static_cast<uint8_t>(std::min(255u, s + (out[c] * (255 - a) + 127) / 255));
            }
        }
    }
}

void EndMask(Canvas& canvas, std::vector<MaskBracket>& masks) {
    MaskBracket& top = masks.back();
    if (top.content) CompositeMasked(*top.content, *top.area, *top.below);
    canvas.target = top.below;
    masks.pop_back();
    // Inside an outer mask's definition, painting goes on as area.
    canvas.maskArea = !masks.empty() && !masks.back().content;
}

void Unpremultiply(PixelBuffer& target) {
    for (size_t i = 0; i + 3 < target.pixels.size(); i += 4) {
        uint8_t* p = &target.pixels[i];
        unsigned a = p[3];
        if (a == 255) continue;
        if (a == 0) {
            p[0] = p[1] = p[2] = 0;
            continue;
        }
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<uint8_t>(std::min(255u, (p[c] * 255u + a / 2) / a));
    }
}

}  // namespace

void RenderFrame(const RenderList& list, const Matrix& stageToPixels, PixelBuffer& target) {
    if (target.width <= 0 || target.height <= 0) return;
    agg::rendering_buffer buffer(target.pixels.data(), static_cast<unsigned>(target.width),
                                 static_cast<unsigned>(target.height), target.Stride());
    PixelFormat format(buffer);
    BaseRenderer base(format);
    base.clear(Premultiplied(list.background));
    Canvas canvas(base);
    std::vector<MaskBracket> masks;
    for (const RenderItem& item : list.items) {
        switch (item.kind) {
            case RenderItem::BeginMask:
                masks.push_back(MaskBracket{canvas.target,
                                            Surface::Layer(target.width, target.height), nullptr});
                canvas.target = &masks.back().area->base;
                canvas.maskArea = true;
                break;
            case RenderItem::MaskContent:
                if (masks.empty() || masks.back().content) break;
                masks.back().content = Surface::Layer(target.width, target.height);
                canvas.target = &masks.back().content->base;
                canvas.maskArea = false;
                break;
            case RenderItem::EndMask:
                if (!masks.empty()) EndMask(canvas, masks);
                break;
            case RenderItem::Text:
                break;
            case RenderItem::Shape:
                if (item.shape) DrawShape(canvas, item, stageToPixels);
                break;
        }
    }
    while (!masks.empty()) EndMask(canvas, masks);
    Unpremultiply(target);
}

bool RenderStage(const RenderList& list, PixelBuffer& target) {
    const player::Rect& stage = list.stageRect;
    int width = static_cast<int>(std::lround(stage.width() / player::kTwipsPerPixel));
    int height = static_cast<int>(std::lround(stage.height() / player::kTwipsPerPixel));
    if (!target.Resize(width, height)) return false;
    double scale = 1 / player::kTwipsPerPixel;
    Matrix stageToPixels{scale, 0, 0, scale, -stage.xMin * scale, -stage.yMin * scale};
    RenderFrame(list, stageToPixels, target);
    return true;
}

}  // namespace kestrel::render
