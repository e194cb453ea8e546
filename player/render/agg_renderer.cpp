#include "player/render/agg_renderer.h"

#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_compound_aa.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_p.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "player/render/bitmap_fill.h"
#include "player/render/coverage_painting.h"
#include "player/render/edge_flattening.h"
#include "player/render/field_text.h"
#include "player/render/gradient_ramp.h"
#include "player/render/shape_cache.h"
#include "player/render/stroke_outline.h"

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
using CompoundRasterizer = agg::rasterizer_compound_aa<agg::rasterizer_sl_clip_dbl>;

agg::rgba8 Premultiplied(const Rgba& c) {
    agg::rgba8 color(c.r, c.g, c.b, c.a);
    color.premultiply();
    return color;
}

bool Finite(const Matrix& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

// The ramp entry of a position before spreading, padded.
inline int PadIndex(double t) {
    if (!(t > 0)) return 0;  // NaN too
    if (t >= 1) return 255;
    return RampIndex(t);
}

// The fill styles of one shape as the compound renderer asks for them. Kept from
// shape to shape so its storage is reused.
class ShapeStyles {
  public:
    using color_type = agg::rgba8;

    // `maskArea`: every fill paints opaque white, as a mask only has an area.
    void Reset(const ShapeDefinition& shape, const Matrix& shapeToPixels,
               const ColorTransform& transform, bool maskArea) {
        count_ = shape.fillStyles.size();
        if (styles_.size() < count_) styles_.resize(count_);
        for (size_t i = 0; i < count_; ++i)
            SetUp(styles_[i], shape.fillStyles[i], shapeToPixels, transform, maskArea);
    }
    // One style, 0: a line's fill, for painting its stroke coverage.
    void ResetToOne(const FillStyle& fill, const Matrix& shapeToPixels,
                    const ColorTransform& transform) {
        count_ = 1;
        if (styles_.empty()) styles_.resize(1);
        SetUp(styles_[0], fill, shapeToPixels, transform, false);
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
        if (style.kind == FillStyle::LinearGradient) {
            // Along a row the position moves by the same step at every pixel.
            constexpr double kToPosition = 0.5 / kGradientHalfSize;
            double t = (m.a * px + m.c * py + m.tx) * kToPosition + 0.5;
            double step = m.a * kToPosition;
            if (style.spread == FillStyle::Pad) {
                for (unsigned i = 0; i < len; ++i, t += step) span[i] = style.ramp[PadIndex(t)];
            } else {
                for (unsigned i = 0; i < len; ++i, t += step)
                    span[i] = style.ramp[RampIndex(ApplySpread(style.spread, t))];
            }
            return;
        }
        for (unsigned i = 0; i < len; ++i, px += 1) {
            Point g = m.apply(px, py);
            double t = GradientPosition(style.kind, g.x, g.y, style.focalPoint);
            span[i] = style.ramp[RampIndex(ApplySpread(style.spread, t))];
        }
    }

    size_t Count() const { return count_; }

  private:
    struct Style;
    static void SetUp(Style& style, const FillStyle& fill, const Matrix& shapeToPixels,
                      const ColorTransform& transform, bool maskArea) {
        style.kind = fill.kind;
        style.solid = true;
        if (maskArea) {
            style.color = agg::rgba8(255, 255, 255, 255);
            return;
        }
        style.color = Premultiplied(transform.apply(fill.color));
        if (fill.kind == FillStyle::Bitmap) {
            // A bitmap that is missing or cannot be drawn leaves its area empty.
            style.solid = !style.bitmap.Prepare(fill, shapeToPixels, transform);
            style.color = agg::rgba8(0, 0, 0, 0);
            return;
        }
        bool gradient = fill.kind == FillStyle::LinearGradient ||
                        fill.kind == FillStyle::RadialGradient ||
                        fill.kind == FillStyle::FocalGradient;
        if (gradient && shapeToPixels.multiply(fill.matrix).invert(style.pixelsToGradient)) {
            style.solid = false;
            style.spread = fill.spread;
            style.focalPoint = fill.focalPoint;
            style.BuildRamp(fill, transform);
        }
    }

    struct Style {
        bool solid = true;
        FillStyle::Kind kind = FillStyle::Solid;
        agg::rgba8 color;
        Matrix pixelsToGradient;
        FillStyle::Spread spread = FillStyle::Pad;
        double focalPoint = 0;
        agg::rgba8 ramp[256];
        BitmapFill bitmap;
        // What the ramp was built from: a frame mostly draws the same gradients
        // in the same order as the one before, and finds its ramps ready.
        bool rampBuilt = false, rampLinear = false;
        std::vector<player::GradientStop> rampStops;
        ColorTransform rampTransform;

        void BuildRamp(const FillStyle& fill, const ColorTransform& transform) {
            if (rampBuilt && rampLinear == fill.linearRgb && SameStops(fill.stops) &&
                SameTransform(transform))
                return;
            GradientRamp built = BuildGradientRamp(fill.stops, transform, fill.linearRgb);
            for (size_t r = 0; r < built.size(); ++r) ramp[r] = Premultiplied(built[r]);
            rampBuilt = true;
            rampLinear = fill.linearRgb;
            rampStops = fill.stops;
            rampTransform = transform;
        }
        bool SameStops(const std::vector<player::GradientStop>& stops) const {
            if (stops.size() != rampStops.size()) return false;
            for (size_t i = 0; i < stops.size(); ++i)
                if (stops[i].ratio != rampStops[i].ratio || !(stops[i].color == rampStops[i].color))
                    return false;
            return true;
        }
        bool SameTransform(const ColorTransform& t) const {
            const ColorTransform& r = rampTransform;
            return t.rMul == r.rMul && t.gMul == r.gMul && t.bMul == r.bMul && t.aMul == r.aMul &&
                   t.rAdd == r.rAdd && t.gAdd == r.gAdd && t.bAdd == r.bAdd && t.aAdd == r.aAdd;
        }
    };
    std::vector<Style> styles_;
    size_t count_ = 0;
};

// A line style's colour, for painting its stroke coverage.
struct SolidStyle {
    agg::rgba8 c;
    bool is_solid(unsigned) const { return true; }
    const agg::rgba8& color(unsigned) const { return c; }
    void generate_span(agg::rgba8* span, int, int, unsigned len, unsigned) {
        std::fill(span, span + len, c);
    }
};

// A premultiplied RGBA surface: the frame itself, or a layer the frame's size.
struct Surface {
    std::vector<uint8_t> own;  // a layer's pixels; empty for the frame
    agg::rendering_buffer buffer;
    PixelFormat format{buffer};
    BaseRenderer base{format};

    Surface(uint8_t* pixels, int width, int height) { Attach(pixels, width, height); }
    void Attach(uint8_t* pixels, int width, int height) {
        buffer.attach(pixels, static_cast<unsigned>(width), static_cast<unsigned>(height),
                      width * 4);
        base.reset_clipping(true);
    }
    int Width() const { return static_cast<int>(buffer.width()); }
    int Height() const { return static_cast<int>(buffer.height()); }
    // A transparent layer.
    static std::unique_ptr<Surface> Layer(int width, int height) {
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4,
                                    0);
        auto layer = std::make_unique<Surface>(pixels.data(), width, height);
        layer->own = std::move(pixels);  // the heap block moves, its address stays
        return layer;
    }
};

void CompositeMasked(const Surface& content, const Surface& area, Surface& below, int top,
                     int bottom) {
    int width = below.Width();
    for (int y = top; y < bottom; ++y) {
        const uint8_t* src = content.buffer.row_ptr(y);
        const uint8_t* mask = area.buffer.row_ptr(y);
        uint8_t* out = below.buffer.row_ptr(y);
        for (int x = 0; x < width; ++x, src += 4, mask += 4, out += 4) {
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

/* A frame is painted in two passes. The first goes through the render list and
 * turns every item into paint operations: shapes into their coverage (rasterised,
 * or found as the frame before left it) with their colours. The second paints the
 * operations band by band down the frame, each band a few dozen rows, so that the
 * rows being blended stay in the processor's cache from the first shape to the
 * last instead of the whole frame streaming through it once per shape.
 *
 * Masks arrive as brackets: BeginMask, the mask's shapes, MaskContent, what it
 * masks, EndMask. The mask's shapes paint their area into a layer of their own;
 * what it masks paints into a second layer; at EndMask the second layer goes onto
 * the surface below, each pixel weighted by the mask's coverage there. Brackets
 * nest: an inner mask lands on its outer mask's content layer, which its own
 * EndMask masks in turn. Brackets that do not match (bad data) are closed at the
 * end of the list as if they had ended there. Within a band only its rows of each
 * layer are cleared and composited.
 *
 * Device text is drawn by the platform's painter onto the whole frame at once, so a
 * frame with device text is painted as one band; fields in embedded fonts are
 * coverage like shapes. A frame whose coverage would pass the cache's
 * limit is painted item by item as its coverage is made. */
struct PaintOp {
    enum Kind : uint8_t { Fill, Solid, BeginMask, MaskContent, EndMask, Text } kind = Fill;
    const CoverageMask* coverage = nullptr;  // not owned: Fill and Solid
    ShapeStyles* styles = nullptr;           // not owned: Fill
    agg::rgba8 color;                        // Solid
    const RenderItem* item = nullptr;        // not owned: Text
    Matrix itemToPixels;                     // Text
    uint32_t nextRow = 0;                    // the coverage row the next band starts at
    int32_t nextY = 0;                       // that row's scanline; past the frame when none
};

struct MaskBracket {
    Surface* below;  // not owned: where the masked content lands
    std::unique_ptr<Surface> area;
    std::unique_ptr<Surface> content;  // null until MaskContent
};

}  // namespace

struct Renderer::State {
    // Rows of a band: this many bytes of a frame's width fit the cache together
    // with what is being blended into them.
    static constexpr int kBandBytes = 256 * 1024;

    explicit State(size_t keptBytes) : cache(keptBytes) {}

    CompoundRasterizer compound;
    SingleRasterizer single;
    agg::scanline_p8 scanline;
    PaintBuffers paint;
    ShapeCache cache;
    std::vector<Point> points;
    std::vector<double> widths;
    FieldGlyphs fieldGlyphs;
    std::vector<uint32_t> glyphOrder;
    std::vector<std::unique_ptr<Surface>> spareLayers;
    int width = 0, height = 0;  // of the surfaces the cache's coverage was clipped to
    bool aliased = false;       // the cache's coverage was made without anti-aliasing

    // The frame being painted.
    const FrameOptions* options = nullptr;  // not owned
    std::vector<PaintOp> ops;
    std::vector<std::unique_ptr<ShapeStyles>> styleSets;  // the first usedStyleSets in use
    size_t usedStyleSets = 0;
    // A deque: operations point into it while it grows.
    std::deque<CoverageMask> contourCoverage;  // the first usedContours in use
    size_t usedContours = 0;
    bool hasText = false;
    // Recording: how deep in mask brackets, and whether shapes paint a mask's area.
    std::vector<bool> recordMasks;  // per open bracket: content begun
    bool maskArea = false;
    // Painting.
    Surface* target = nullptr;  // not owned: the surface being painted
    std::vector<MaskBracket> masks;
    int bandTop = 0, bandBottom = 0;

    void Begin(int frameWidth, int frameHeight) {
        if (frameWidth != width || frameHeight != height) {
            cache.Clear();
            spareLayers.clear();
            width = frameWidth;
            height = frameHeight;
            compound.clip_box(0, 0, width, height);
            single.clip_box(0, 0, width, height);
        }
        ops.clear();
        usedStyleSets = 0;
        usedContours = 0;
        hasText = false;
        recordMasks.clear();
        maskArea = false;
    }

    ShapeStyles& NextStyleSet() {
        if (usedStyleSets == styleSets.size()) styleSets.push_back(std::make_unique<ShapeStyles>());
        return *styleSets[usedStyleSets++];
    }
    CoverageMask& NextContour() {
        if (usedContours == contourCoverage.size()) contourCoverage.emplace_back();
        return contourCoverage[usedContours++];
    }

    // --- the first pass ---------------------------------------------------------

    template <class Rasterizer>
    void Sweep(Rasterizer& ras, CoverageMask& mask) {
        mask.Clear();
        if (!ras.rewind_scanlines()) return;
        scanline.reset(ras.min_x(), ras.max_x());
        while (ras.sweep_scanline(scanline)) mask.AddScanline(scanline, 0, aliased);
    }

    // Every edge with a fill on either side goes into the compound rasteriser with
    // its two styles: the fills come out exactly, with no contour building.
    void RasterizeFills(const ShapeDefinition& shape, const Matrix& m, CoverageMask& mask) {
        int only = OnlyFillStyle(shape);
        if (only > 0) {
            RasterizeOneFill(shape, only, m, mask);
            return;
        }
        mask.Clear();
        CompoundRasterizer& ras = compound;
        ras.reset();
        ras.layer_order(agg::layer_direct);
        int count = static_cast<int>(shape.fillStyles.size());
        for (const ShapeEdge& e : shape.edges) {
            // Styles the shape does not have (bad data) fill nothing.
            int left = e.fill0 <= count ? e.fill0 : 0, right = e.fill1 <= count ? e.fill1 : 0;
            if (left <= 0 && right <= 0) continue;
            ras.styles(left - 1, right - 1);
            Point start = EdgeStart(e, m);
            ras.move_to_d(start.x, start.y);
            points.clear();
            FlattenEdge(e, m, points);
            for (const Point& p : points) ras.line_to_d(p.x, p.y);
        }
        if (!ras.rewind_scanlines()) return;
        scanline.reset(ras.min_x(), ras.max_x());
        unsigned styleCount;
        while ((styleCount = ras.sweep_styles()) > 0) {
            for (unsigned i = 0; i < styleCount; ++i)
                if (ras.sweep_scanline(scanline, static_cast<int>(i)))
                    mask.AddScanline(scanline, ras.style(i), aliased);
        }
    }

    // The one fill style a shape's edges have (most shapes), 0 when they have
    // several or none.
    static int OnlyFillStyle(const ShapeDefinition& shape) {
        int count = static_cast<int>(shape.fillStyles.size()), only = 0;
        for (const ShapeEdge& e : shape.edges) {
            for (int style : {e.fill0, e.fill1}) {
                if (style <= 0 || style > count || style == only) continue;
                if (only != 0) return 0;
                only = style;
            }
        }
        return only;
    }

    // A single fill needs no compound rasteriser: edges with the fill on their
    // left go in as they run and edges with it on their right reversed, so the
    // non-zero rule finds the fill where the compound one would.
    void RasterizeOneFill(const ShapeDefinition& shape, int style, const Matrix& m,
                          CoverageMask& mask) {
        SingleRasterizer& ras = single;
        ras.reset();
        ras.filling_rule(agg::fill_non_zero);
        // Edges are loose pieces of outlines, not closed one by one.
        ras.auto_close(false);
        for (const ShapeEdge& e : shape.edges) {
            bool left = e.fill0 == style, right = e.fill1 == style;
            if (left == right) continue;  // on both sides, or on neither
            points.clear();
            points.push_back(EdgeStart(e, m));
            FlattenEdge(e, m, points);
            if (right) std::reverse(points.begin(), points.end());
            ras.move_to_d(points[0].x, points[0].y);
            for (size_t i = 1; i < points.size(); ++i) ras.line_to_d(points[i].x, points[i].y);
        }
        mask.Clear();
        if (ras.rewind_scanlines()) {
            scanline.reset(ras.min_x(), ras.max_x());
            while (ras.sweep_scanline(scanline))
                mask.AddScanline(scanline, static_cast<unsigned>(style - 1), aliased);
        }
        ras.auto_close(true);
    }

    void RasterizeStrokes(const ShapeDefinition& shape, const Matrix& m, ShapeCoverage& coverage) {
        coverage.strokes.resize(shape.lineStyles.size());
        single.filling_rule(agg::fill_non_zero);
        for (size_t style = 0; style < shape.lineStyles.size(); ++style) {
            single.reset();
            AddStrokeOutline(shape, static_cast<int>(style + 1), m, widths[style], points, single);
            Sweep(single, coverage.strokes[style]);
        }
        coverage.strokesBuilt = true;
    }

    // Shapes without edges (text made of glyphs) keep closed contours per colour.
    void RecordContours(const ShapeDefinition& shape, const Matrix& m,
                        const ColorTransform& transform) {
        SingleRasterizer& ras = single;
        ras.filling_rule(shape.nonZeroWinding ? agg::fill_non_zero : agg::fill_even_odd);
        for (const player::FillPath& fill : shape.fills) {
            Rgba color = maskArea ? Rgba{255, 255, 255, 255} : transform.apply(fill.color);
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
                points.clear();
                if (c.kind == player::PathCommand::QuadTo)
                    FlattenQuad(at, Clamped(m.apply(c.cx, c.cy)), end, points);
                else
                    points.push_back(end);
                for (const Point& p : points) ras.line_to_d(p.x, p.y);
                at = end;
            }
            RecordSolid(ras, color);
        }
    }

    // A solid box of whole pixels, [x0, x1) x [y0, y1).
    void RecordBox(int x0, int y0, int x1, int y1, const Rgba& color) {
        if (x0 >= x1 || y0 >= y1 || color.a == 0) return;
        SingleRasterizer& ras = single;
        ras.reset();
        ras.filling_rule(agg::fill_non_zero);
        ras.move_to_d(x0, y0);
        ras.line_to_d(x1, y0);
        ras.line_to_d(x1, y1);
        ras.line_to_d(x0, y1);
        CoverageMask& mask = NextContour();
        Sweep(ras, mask);
        PaintOp op;
        op.kind = PaintOp::Solid;
        op.coverage = &mask;
        op.color = Premultiplied(maskArea ? Rgba{255, 255, 255, 255} : color);
        ops.push_back(op);
    }

    // A field that draws with its embedded font: its background and one-pixel
    // border on whole pixels, then its glyphs anti-aliased and clipped to its box.
    // False when the field is device text.
    bool RecordFieldText(const RenderItem& item, const Matrix& m) {
        if (!LayOutFieldGlyphs(*item.text, fieldGlyphs)) return false;
        const player::EditTextDefinition& format = item.text->format();
        const ColorTransform& transform = item.colorTransform;
        player::Rect r = m.transformRect(format.bounds);
        if (r.isEmpty()) return true;
        auto pixel = [](double v) { return static_cast<int>(std::clamp(v, -kFarAway, kFarAway)); };
        int left = pixel(std::floor(r.xMin)), top = pixel(std::floor(r.yMin));
        int right = pixel(std::ceil(r.xMax)), bottom = pixel(std::ceil(r.yMax));
        int x0 = std::max(left, 0), y0 = std::max(top, 0);
        int x1 = std::min(right, width), y1 = std::min(bottom, height);
        if (x0 >= x1 || y0 >= y1) return true;
        if (format.background) RecordBox(x0, y0, x1, y1, transform.apply(format.backgroundColor));
        if (format.border) {
            Rgba frame = transform.apply(format.borderColor);
            RecordBox(x0, std::max(top, y0), x1, std::min(top + 1, y1), frame);
            RecordBox(x0, std::max(bottom - 1, y0), x1, std::min(bottom, y1), frame);
            RecordBox(std::max(left, x0), y0, std::min(left + 1, x1), y1, frame);
            RecordBox(std::max(right - 1, x0), y0, std::min(right, x1), y1, frame);
        }
        // Glyphs of one colour are filled together, colour by colour.
        const std::vector<PlacedGlyph>& glyphs = fieldGlyphs.glyphs;
        auto key = [](const Rgba& c) {
            return uint32_t{c.r} << 24 | uint32_t{c.g} << 16 | uint32_t{c.b} << 8 | c.a;
        };
        glyphOrder.resize(glyphs.size());
        for (uint32_t i = 0; i < glyphOrder.size(); ++i) glyphOrder[i] = i;
        std::stable_sort(glyphOrder.begin(), glyphOrder.end(), [&](uint32_t a, uint32_t b) {
            return key(glyphs[a].color) < key(glyphs[b].color);
        });
        SingleRasterizer& ras = single;
        ras.filling_rule(agg::fill_non_zero);
        ras.clip_box(x0, y0, x1, y1);
        for (size_t from = 0; from < glyphOrder.size();) {
            size_t to = from + 1;
            Rgba runColor = glyphs[glyphOrder[from]].color;
            while (to < glyphOrder.size() && glyphs[glyphOrder[to]].color == runColor) ++to;
            Rgba color = maskArea ? Rgba{255, 255, 255, 255} : transform.apply(runColor);
            if (color.a != 0) {
                ras.reset();
                ras.auto_close(false);
                for (size_t k = from; k < to; ++k) AddGlyph(glyphs[glyphOrder[k]], m, ras);
                // Swept before closing is turned on again, which would close the last edge.
                RecordSolid(ras, color);
                ras.auto_close(true);
            }
            from = to;
        }
        for (const FieldUnderline& line : fieldGlyphs.underlines) {
            Rgba color = maskArea ? Rgba{255, 255, 255, 255} : transform.apply(line.color);
            if (color.a == 0) continue;
            ras.reset();
            const player::Rect& b = line.box;
            Point corners[4] = {Clamped(m.apply(b.xMin, b.yMin)), Clamped(m.apply(b.xMax, b.yMin)),
                                Clamped(m.apply(b.xMax, b.yMax)), Clamped(m.apply(b.xMin, b.yMax))};
            ras.move_to_d(corners[0].x, corners[0].y);
            for (int k = 1; k < 4; ++k) ras.line_to_d(corners[k].x, corners[k].y);
            ras.close_polygon();
            RecordSolid(ras, color);
        }
        ras.clip_box(0, 0, width, height);
        return true;
    }

    // Glyph edges have their one fill on a side; as in RasterizeOneFill, the edges
    // with it on their right go in reversed.
    void AddGlyph(const PlacedGlyph& glyph, const Matrix& fieldToPixels, SingleRasterizer& ras) {
        Matrix g = fieldToPixels.multiply(glyph.glyphToField);
        if (!Finite(g)) return;
        for (const ShapeEdge& e : *glyph.outline) {
            bool onLeft = e.fill0 != 0, onRight = e.fill1 != 0;
            if (onLeft == onRight) continue;
            points.clear();
            points.push_back(EdgeStart(e, g));
            FlattenEdge(e, g, points);
            if (onRight) std::reverse(points.begin(), points.end());
            ras.move_to_d(points[0].x, points[0].y);
            for (size_t i = 1; i < points.size(); ++i) ras.line_to_d(points[i].x, points[i].y);
        }
    }

    // What `ras` holds, painted in one colour.
    void RecordSolid(SingleRasterizer& ras, const Rgba& color) {
        CoverageMask& mask = NextContour();
        Sweep(ras, mask);
        PaintOp op;
        op.kind = PaintOp::Solid;
        op.coverage = &mask;
        op.color = Premultiplied(color);
        ops.push_back(op);
    }

    void RecordShape(const RenderItem& item, const Matrix& stageToPixels) {
        Matrix m = stageToPixels.multiply(item.matrix);
        if (!Finite(m)) return;
        const ShapeDefinition& shape = *item.shape;
        // Shapes wholly outside the surface cost nothing: their declared bounds
        // (which include half their widest line) are trusted, as players trust them.
        player::Rect box = m.transformRect(shape.bounds);
        if (!box.isEmpty() &&
            (box.xMax < -1 || box.yMax < -1 || box.xMin > width + 1 || box.yMin > height + 1))
            return;
        if (shape.edges.empty()) {
            RecordContours(shape, m, item.colorTransform);
            return;
        }
        // A mask is the area of its fills; its lines take no part.
        bool strokes = !maskArea && !shape.lineStyles.empty();
        widths.clear();
        if (strokes)
            for (const player::LineStyleInfo& line : shape.lineStyles)
                widths.push_back(StrokeWidthPixels(line, item.matrix, stageToPixels));
        bool fresh = false;
        ShapeCoverage& coverage = cache.Find(shape, m, widths, fresh);
        if (fresh) RasterizeFills(shape, m, coverage.fills);
        if (!coverage.fills.rows.empty()) {
            PaintOp op;
            op.kind = PaintOp::Fill;
            op.coverage = &coverage.fills;
            op.styles = &NextStyleSet();
            op.styles->Reset(shape, m, item.colorTransform, maskArea);
            ops.push_back(op);
        }
        if (!strokes) return;
        if (!coverage.strokesBuilt) RasterizeStrokes(shape, m, coverage);
        for (size_t style = 0; style < shape.lineStyles.size(); ++style) {
            const player::LineStyleInfo& line = shape.lineStyles[style];
            if (coverage.strokes[style].rows.empty()) continue;
            if (line.hasFill) {
                PaintOp op;
                op.kind = PaintOp::Fill;
                op.coverage = &coverage.strokes[style];
                op.styles = &NextStyleSet();
                op.styles->ResetToOne(line.fill, m, item.colorTransform);
                ops.push_back(op);
                continue;
            }
            Rgba color = item.colorTransform.apply(line.color);
            if (color.a == 0) continue;
            PaintOp op;
            op.kind = PaintOp::Solid;
            op.coverage = &coverage.strokes[style];
            op.color = Premultiplied(color);
            ops.push_back(op);
        }
    }

    void Record(const RenderItem& item, const Matrix& stageToPixels) {
        PaintOp op;
        switch (item.kind) {
            case RenderItem::BeginMask:
                recordMasks.push_back(false);
                maskArea = true;
                op.kind = PaintOp::BeginMask;
                ops.push_back(op);
                break;
            case RenderItem::MaskContent:
                if (recordMasks.empty() || recordMasks.back()) break;
                recordMasks.back() = true;
                maskArea = false;
                op.kind = PaintOp::MaskContent;
                ops.push_back(op);
                break;
            case RenderItem::EndMask:
                if (recordMasks.empty()) break;
                recordMasks.pop_back();
                // Inside an outer mask's definition, painting goes on as area.
                maskArea = !recordMasks.empty() && !recordMasks.back();
                op.kind = PaintOp::EndMask;
                ops.push_back(op);
                break;
            case RenderItem::Text: {
                if (!item.text) break;
                Matrix m = stageToPixels.multiply(item.matrix);
                if (!Finite(m) || RecordFieldText(item, m)) break;
                if (!options->text || maskArea) break;
                op.kind = PaintOp::Text;
                op.item = &item;
                op.itemToPixels = m;
                ops.push_back(op);
                hasText = true;
                break;
            }
            case RenderItem::Shape:
                if (item.shape) RecordShape(item, stageToPixels);
                break;
        }
    }

    // --- the second pass --------------------------------------------------------

    std::unique_ptr<Surface> TakeLayer() {
        std::unique_ptr<Surface> layer;
        if (spareLayers.empty()) {
            layer = Surface::Layer(width, height);
        } else {
            layer = std::move(spareLayers.back());
            spareLayers.pop_back();
            for (int y = bandTop; y < bandBottom; ++y)
                std::fill_n(layer->buffer.row_ptr(y), static_cast<size_t>(width) * 4, uint8_t{0});
        }
        return layer;
    }
    void GiveBack(std::unique_ptr<Surface> layer) {
        if (layer) spareLayers.push_back(std::move(layer));
    }

    void EndMask() {
        MaskBracket& top = masks.back();
        if (top.content) CompositeMasked(*top.content, *top.area, *top.below, bandTop, bandBottom);
        target = top.below;
        GiveBack(std::move(top.area));
        GiveBack(std::move(top.content));
        masks.pop_back();
    }

    void Paint(PaintOp& op) {
        switch (op.kind) {
            case PaintOp::Fill:
                if (op.nextY >= bandBottom) break;
                PaintCoverage(*op.coverage, target->buffer, *op.styles, op.styles->Count(), paint,
                              bandBottom, op.nextRow);
                op.nextY = RowY(*op.coverage, op.nextRow);
                break;
            case PaintOp::Solid: {
                if (op.nextY >= bandBottom) break;
                SolidStyle solid{op.color};
                PaintCoverage(*op.coverage, target->buffer, solid, 1, paint, bandBottom,
                              op.nextRow);
                op.nextY = RowY(*op.coverage, op.nextRow);
                break;
            }
            case PaintOp::BeginMask:
                masks.push_back(MaskBracket{target, TakeLayer(), nullptr});
                target = masks.back().area.get();
                break;
            case PaintOp::MaskContent:
                if (masks.empty() || masks.back().content) break;
                masks.back().content = TakeLayer();
                target = masks.back().content.get();
                break;
            case PaintOp::EndMask:
                if (!masks.empty()) EndMask();
                break;
            case PaintOp::Text:
                options->text->PaintText(*op.item, op.itemToPixels, target->buffer.buf(), width,
                                         height, width * 4);
                break;
        }
    }

    // The scanline of a coverage row; past every surface when there is none.
    static int32_t RowY(const CoverageMask& coverage, uint32_t row) {
        return row < coverage.rows.size() ? coverage.rows[row].y : INT32_MAX;
    }
    static void Rewind(PaintOp& op) {
        op.nextRow = 0;
        if (op.coverage) op.nextY = RowY(*op.coverage, 0);
    }

    void PaintBand(Surface& frame, int top, int bottom) {
        bandTop = top;
        bandBottom = bottom;
        target = &frame;
        for (PaintOp& op : ops) Paint(op);
        while (!masks.empty()) EndMask();
    }

    void PaintFrame(const RenderList& list, const Matrix& stageToPixels, Surface& frame) {
        for (const RenderItem& item : list.items) {
            Record(item, stageToPixels);
            if (cache.Full()) break;
        }
        if (!cache.Full()) {
            for (PaintOp& op : ops) Rewind(op);
            int band = hasText ? height : std::max(16, kBandBytes / (width * 4));
            for (int top = 0; top < height; top += band)
                PaintBand(frame, top, std::min(height, top + band));
            return;
        }
        // Too much to keep: what was recorded is dropped and every item painted
        // as soon as it is recorded, its coverage made again in scratch storage.
        cache.Clear();
        Begin(width, height);
        bandTop = 0;
        bandBottom = height;
        target = &frame;
        for (const RenderItem& item : list.items) {
            Record(item, stageToPixels);
            for (PaintOp& op : ops) {
                Rewind(op);
                Paint(op);
            }
            ops.clear();
            usedStyleSets = 0;
            usedContours = 0;
            cache.Clear();
        }
        while (!masks.empty()) EndMask();
    }
};

Renderer::Renderer(size_t keptBytes) : state_(std::make_unique<State>(keptBytes)) {}
Renderer::~Renderer() = default;

void Renderer::RenderFrame(const RenderList& list, const Matrix& stageToPixels, PixelBuffer& target,
                           const FrameOptions& options) {
    // A buffer whose pixels do not match its size (filled in by hand) is not drawn.
    if (target.width <= 0 || target.height <= 0 ||
        target.pixels.size() !=
            static_cast<size_t>(target.width) * static_cast<size_t>(target.height) * 4)
        return;
    State& s = *state_;
    if (s.aliased == options.antiAliased) {
        // Coverage kept from frames of the other quality does not fit this one.
        s.cache.Clear();
        s.aliased = !options.antiAliased;
    }
    s.Begin(target.width, target.height);
    Surface frame(target.pixels.data(), target.width, target.height);
    if (options.transparent)
        frame.base.clear(agg::rgba8(0, 0, 0, 0));
    else
        frame.base.clear(Premultiplied(options.background ? *options.background : list.background));
    s.options = &options;
    s.PaintFrame(list, stageToPixels, frame);
    s.target = nullptr;
    s.options = nullptr;
    s.cache.EndFrame();
    if (!options.premultiplied) Unpremultiply(target);
}

bool Renderer::RenderStage(const RenderList& list, PixelBuffer& target,
                           const FrameOptions& options) {
    const player::Rect& stage = list.stageRect;
    int width = static_cast<int>(std::lround(stage.width() / player::kTwipsPerPixel));
    int height = static_cast<int>(std::lround(stage.height() / player::kTwipsPerPixel));
    if (!target.Resize(width, height)) return false;
    double scale = 1 / player::kTwipsPerPixel;
    Matrix stageToPixels{scale, 0, 0, scale, -stage.xMin * scale, -stage.yMin * scale};
    RenderFrame(list, stageToPixels, target, options);
    return true;
}

void RenderFrame(const RenderList& list, const Matrix& stageToPixels, PixelBuffer& target) {
    Renderer().RenderFrame(list, stageToPixels, target);
}

bool RenderStage(const RenderList& list, PixelBuffer& target) {
    return Renderer().RenderStage(list, target);
}

}  // namespace kestrel::render
