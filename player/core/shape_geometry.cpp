#include "player/core/shape_geometry.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace kestrel::player {

namespace {

using PointKey = std::pair<int64_t, int64_t>;

ShapeEdge reversed(const ShapeEdge& e) {
    ShapeEdge r = e;
    r.x0 = e.x1;
    r.y0 = e.y1;
    r.x1 = e.x0;
    r.y1 = e.y0;
    return r;
}

void appendEdge(std::vector<PathCommand>& cmds, const ShapeEdge& e) {
    PathCommand c;
    c.kind = e.curve ? PathCommand::QuadTo : PathCommand::LineTo;
    c.cx = static_cast<double>(e.cx);
    c.cy = static_cast<double>(e.cy);
    c.x = static_cast<double>(e.x1);
    c.y = static_cast<double>(e.y1);
    cmds.push_back(c);
}

void appendMove(std::vector<PathCommand>& cmds, int64_t x, int64_t y) {
    PathCommand c;
    c.kind = PathCommand::MoveTo;
    c.x = c.cx = static_cast<double>(x);
    c.y = c.cy = static_cast<double>(y);
    cmds.push_back(c);
}

// Chains the oriented edges of one fill into closed contours: from an unused edge,
// follow edges whose start is the current end until the contour returns to its
// start. Open chains (bad data) are closed with a straight line.
std::vector<PathCommand> chainContours(const std::vector<ShapeEdge>& edges) {
    std::multimap<PointKey, size_t> byStart;
    for (size_t i = 0; i < edges.size(); ++i)
        byStart.emplace(PointKey{edges[i].x0, edges[i].y0}, i);
    std::vector<bool> used(edges.size(), false);
    std::vector<PathCommand> cmds;
    for (size_t first = 0; first < edges.size(); ++first) {
        if (used[first]) continue;
        const ShapeEdge& start = edges[first];
        appendMove(cmds, start.x0, start.y0);
        size_t current = first;
        while (true) {
            used[current] = true;
            const ShapeEdge& e = edges[current];
            appendEdge(cmds, e);
            if (e.x1 == start.x0 && e.y1 == start.y0) break;
            size_t next = edges.size();
            auto range = byStart.equal_range(PointKey{e.x1, e.y1});
            for (auto it = range.first; it != range.second; ++it) {
                if (!used[it->second]) {
                    next = it->second;
                    break;
                }
            }
            if (next == edges.size()) {
                ShapeEdge close;
                close.x0 = e.x1;
                close.y0 = e.y1;
                close.x1 = close.cx = start.x0;
                close.y1 = close.cy = start.y0;
                appendEdge(cmds, close);
                break;
            }
            current = next;
        }
    }
    return cmds;
}

}  // namespace

void buildShapeGeometry(const std::vector<ShapeEdge>& edges, const std::vector<Rgba>& fills,
                        const std::vector<LineStyleInfo>& lines, ShapeDefinition& out) {
    // Fills, in style order so later styles paint over earlier ones.
    std::vector<std::vector<ShapeEdge>> perFill(fills.size() + 1);
    for (const ShapeEdge& e : edges) {
        if (e.fill1 > 0 && static_cast<size_t>(e.fill1) <= fills.size())
            perFill[e.fill1].push_back(e);
        if (e.fill0 > 0 && static_cast<size_t>(e.fill0) <= fills.size() && e.fill0 != e.fill1)
            perFill[e.fill0].push_back(reversed(e));
    }
    for (size_t i = 1; i < perFill.size(); ++i) {
        if (perFill[i].empty()) continue;
        FillPath fill;
        fill.color = fills[i - 1];
        fill.commands = chainContours(perFill[i]);
        out.fills.push_back(std::move(fill));
    }

    // Strokes: consecutive connected edges of one line style form one polyline.
    StrokePath* open = nullptr;
    int openStyle = 0;
    int64_t lastX = 0, lastY = 0;
    for (const ShapeEdge& e : edges) {
        if (e.line <= 0 || static_cast<size_t>(e.line) > lines.size()) {
            open = nullptr;
            continue;
        }
        if (!open || openStyle != e.line || lastX != e.x0 || lastY != e.y0) {
            const LineStyleInfo& style = lines[e.line - 1];
            out.strokes.push_back(StrokePath{style.color, static_cast<double>(style.width), {}});
            open = &out.strokes.back();
            openStyle = e.line;
            appendMove(open->commands, e.x0, e.y0);
        }
        appendEdge(open->commands, e);
        lastX = e.x1;
        lastY = e.y1;
    }
}

// Hit testing flattens curves into a few segments; exact enough for pointing.
namespace {

constexpr int kCurveSteps = 8;

template <typename Segment>
void forEachSegment(const std::vector<PathCommand>& cmds, Segment segment) {
    double px = 0, py = 0;
    for (const PathCommand& c : cmds) {
        switch (c.kind) {
            case PathCommand::MoveTo:
                break;
            case PathCommand::LineTo:
                segment(px, py, c.x, c.y);
                break;
            case PathCommand::QuadTo: {
                double sx = px, sy = py;
                for (int i = 1; i <= kCurveSteps; ++i) {
                    double t = static_cast<double>(i) / kCurveSteps, u = 1 - t;
                    double qx = u * u * px + 2 * u * t * c.cx + t * t * c.x;
                    double qy = u * u * py + 2 * u * t * c.cy + t * t * c.y;
                    segment(sx, sy, qx, qy);
                    sx = qx;
                    sy = qy;
                }
                break;
            }
        }
        px = c.x;
        py = c.y;
    }
}

double distanceToSegment(double x, double y, double x0, double y0, double x1, double y1) {
    double dx = x1 - x0, dy = y1 - y0;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    double ex = x0 + t * dx - x, ey = y0 + t * dy - y;
    return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

bool ShapeDefinition::hitTest(double x, double y) const {
    for (const FillPath& fill : fills) {
        int winding = 0;
        forEachSegment(fill.commands, [&](double x0, double y0, double x1, double y1) {
            if ((y0 <= y) != (y1 <= y)) {
                double crossX = x0 + (y - y0) * (x1 - x0) / (y1 - y0);
                if (crossX > x) winding += y1 > y0 ? 1 : -1;
            }
        });
        if (nonZeroWinding ? winding != 0 : (winding & 1) != 0) return true;
    }
    for (const StrokePath& stroke : strokes) {
        double reach = std::max(stroke.width, 20.0) / 2;
        bool hit = false;
        forEachSegment(stroke.commands, [&](double x0, double y0, double x1, double y1) {
            if (!hit && distanceToSegment(x, y, x0, y0, x1, y1) <= reach) hit = true;
        });
        if (hit) return true;
    }
    return false;
}

}  // namespace kestrel::player
