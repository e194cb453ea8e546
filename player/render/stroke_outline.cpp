#include "player/render/stroke_outline.h"

#include <agg_math_stroke.h>
#include <agg_vertex_sequence.h>

#include <algorithm>
#include <cmath>

#include "player/render/edge_flattening.h"

namespace kestrel::render {

using player::LineStyleInfo;
using player::Matrix;
using player::Point;
using player::ShapeEdge;

namespace {

// Wider lines than this cover any surface a frame can have.
constexpr double kWidestLine = 1.0e5;

double AreaScale(const Matrix& m) {
    return std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
}

agg::line_cap_e CapOf(LineStyleInfo::Cap cap) {
    switch (cap) {
        case LineStyleInfo::NoCap:
            return agg::butt_cap;
        case LineStyleInfo::SquareCap:
            return agg::square_cap;
        default:
            return agg::round_cap;
    }
}

agg::line_join_e JoinOf(LineStyleInfo::Join join) {
    switch (join) {
        case LineStyleInfo::BevelJoin:
            return agg::bevel_join;
        case LineStyleInfo::MiterJoin:
            // Past its limit a miter is cut square at the limit, not dropped to a bevel.
            return agg::miter_join;
        default:
            return agg::round_join;
    }
}

}  // namespace

double StrokeWidthPixels(const LineStyleInfo& style, const Matrix& itemToStage,
                         const Matrix& stageToPixels) {
    double scale = AreaScale(stageToPixels);
    switch (style.scaling) {
        case LineStyleInfo::ScaleNone:
            break;
        case LineStyleInfo::ScaleHorizontal:
            scale *= std::hypot(itemToStage.a, itemToStage.b);
            break;
        case LineStyleInfo::ScaleVertical:
            scale *= std::hypot(itemToStage.c, itemToStage.d);
            break;
        default:
            scale *= AreaScale(itemToStage);
            break;
    }
    double width = style.width * scale;
    if (!(width >= 1)) return 1;  // NaN too
    return std::min(width, kWidestLine);
}

namespace {

using PathPoints = agg::vertex_sequence<agg::vertex_dist, 6>;
using OutlinePoints = agg::pod_bvector<agg::point_d, 6>;

// Outlines one path the way AGG's stroke generator does: an open path is one
// polygon (along one side, round the end cap, back along the other side, round
// the start cap); a closed one is two, its outer and inner side, in opposite
// directions so the non-zero rule leaves the inside empty.
class PathOutliner {
  public:
    PathOutliner(const LineStyleInfo& style, double width)
        : startCap_(CapOf(style.startCap)), endCap_(CapOf(style.endCap)) {
        stroke_.width(width);
        stroke_.line_join(JoinOf(style.join));
        stroke_.miter_limit(style.miterLimit);
        // Arcs stray at most 0.125 / scale pixels from the circle: small round caps
        // must be fine to keep their area within what 8 bits of coverage can show.
        stroke_.approximation_scale(6);
    }

    void Outline(PathPoints& path, bool closed, SingleRasterizer& ras) {
        path.close(closed);
        size_t n = path.size();
        if (n < 2) return;
        if (closed && n >= 3) {
            for (size_t i = 0; i < n; ++i) Join(path, Previous(i, n), i, (i + 1) % n);
            Emit(ras);
            for (size_t i = n; i-- > 0;) Join(path, (i + 1) % n, i, Previous(i, n));
            Emit(ras);
            return;
        }
        stroke_.line_cap(startCap_);
        stroke_.calc_cap(piece_, path[0], path[1], path[0].dist);
        Keep();
        for (size_t i = 1; i + 1 < n; ++i) Join(path, i - 1, i, i + 1);
        stroke_.line_cap(endCap_);
        stroke_.calc_cap(piece_, path[n - 1], path[n - 2], path[n - 2].dist);
        Keep();
        for (size_t i = n - 1; i-- > 1;) Join(path, i + 1, i, i - 1);
        Emit(ras);
    }

  private:
    agg::line_cap_e startCap_, endCap_;
    agg::math_stroke<OutlinePoints> stroke_;
    OutlinePoints piece_;  // what one cap or join adds (each starts it afresh)
    std::vector<agg::point_d> polygon_;

    void Keep() {
        for (size_t i = 0; i < piece_.size(); ++i) polygon_.push_back(piece_[i]);
    }

    static size_t Previous(size_t i, size_t n) { return i == 0 ? n - 1 : i - 1; }

    // The corner at b on the way from a to c; each point's `dist` is its distance
    // to the next point of the path.
    void Join(PathPoints& path, size_t a, size_t b, size_t c) {
        double toB = (a + 1) % path.size() == b ? path[a].dist : path[b].dist;
        double fromB = (b + 1) % path.size() == c ? path[b].dist : path[c].dist;
        piece_.remove_all();
        stroke_.calc_join(piece_, path[a], path[b], path[c], toB, fromB);
        Keep();
    }

    void Emit(SingleRasterizer& ras) {
        if (polygon_.size() >= 3) {
            ras.move_to_d(polygon_[0].x, polygon_[0].y);
            for (size_t i = 1; i < polygon_.size(); ++i)
                ras.line_to_d(polygon_[i].x, polygon_[i].y);
            ras.close_polygon();
        }
        polygon_.clear();
    }
};

}  // namespace

void AddStrokeOutline(const player::ShapeDefinition& shape, int line, const Matrix& shapeToPixels,
                      double widthPixels, std::vector<Point>& points, SingleRasterizer& ras) {
    if (line < 1 || static_cast<size_t>(line) > shape.lineStyles.size()) return;
    const LineStyleInfo& style = shape.lineStyles[static_cast<size_t>(line) - 1];
    PathOutliner outliner(style, widthPixels);
    PathPoints path;
    bool open = false;
    int64_t startX = 0, startY = 0, endX = 0, endY = 0;  // twips
    auto finishPath = [&] {
        if (open) {
            bool closed = endX == startX && endY == startY && !style.noClose;
            outliner.Outline(path, closed, ras);
            path.remove_all();
        }
        open = false;
    };
    for (const ShapeEdge& e : shape.edges) {
        if (e.line != line) {
            finishPath();
            continue;
        }
        if (!open || e.x0 != endX || e.y0 != endY) {
            finishPath();
            Point start = EdgeStart(e, shapeToPixels);
            path.add(agg::vertex_dist(start.x, start.y));
            startX = e.x0;
            startY = e.y0;
            open = true;
        }
        points.clear();
        FlattenEdge(e, shapeToPixels, points);
        for (const Point& p : points) path.add(agg::vertex_dist(p.x, p.y));
        endX = e.x1;
        endY = e.y1;
    }
    finishPath();
}

}  // namespace kestrel::render
