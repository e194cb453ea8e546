#include "player/render/edge_flattening.h"

#include <algorithm>
#include <cmath>

namespace kestrel::render {

using player::Point;

Point Clamped(Point p) {
    return Point{std::clamp(p.x, -kFarAway, kFarAway), std::clamp(p.y, -kFarAway, kFarAway)};
}

void FlattenQuad(Point p0, Point c, Point end, std::vector<Point>& out) {
    // A quadratic cut into n equal steps strays at most |p0 - 2c + p1| / (8 n^2).
    double bend = std::hypot(p0.x - 2 * c.x + end.x, p0.y - 2 * c.y + end.y);
    int steps = static_cast<int>(std::ceil(std::sqrt(bend / (8 * kFlatness))));
    steps = std::clamp(steps, 1, 1000);
    // Forward differences: the curve's points one step apart without a product per point.
    double h = 1.0 / steps;
    double ax = p0.x - 2 * c.x + end.x, ay = p0.y - 2 * c.y + end.y;
    double dx = 2 * (c.x - p0.x) * h + ax * h * h, dy = 2 * (c.y - p0.y) * h + ay * h * h;
    double ddx = 2 * ax * h * h, ddy = 2 * ay * h * h;
    double x = p0.x, y = p0.y;
    for (int i = 1; i < steps; ++i) {
        x += dx;
        y += dy;
        dx += ddx;
        dy += ddy;
        out.push_back(Point{x, y});
    }
    out.push_back(end);
}

Point EdgeStart(const player::ShapeEdge& e, const player::Matrix& m) {
    return Clamped(m.apply(static_cast<double>(e.x0), static_cast<double>(e.y0)));
}

void FlattenEdge(const player::ShapeEdge& e, const player::Matrix& m, std::vector<Point>& out) {
    Point end = Clamped(m.apply(static_cast<double>(e.x1), static_cast<double>(e.y1)));
    if (!e.curve) {
        out.push_back(end);
        return;
    }
    Point p0 = EdgeStart(e, m);
    Point c = Clamped(m.apply(static_cast<double>(e.cx), static_cast<double>(e.cy)));
    FlattenQuad(p0, c, end, out);
}

}  // namespace kestrel::render
