#include "Extent_un.h"

#include <algorithm>
#include <cmath>

namespace {

// Corners nearer the eye than this (in clip space w) leave the projection unbounded.
constexpr double NearestW = 1e-6;
// Pixels added on each side for what a triangle's edge may reach beyond the exact bounds of
// its corners as the rasteriser rounds them.
constexpr int Margin = 2;

} // namespace

WindowRect Union(const WindowRect& a, const WindowRect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

WindowRect WholeWindow(int width, int height) {
    return {0, 0, std::max(width, 0), std::max(height, 0)};
}

WindowRect ProjectedRect(const WindowMapping& mapping, const Matrix& place, const Box& box) {
    const WindowRect whole = WholeWindow(mapping.width, mapping.height);
    const Matrix m = mapping.projectionModelview * place;
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (int corner = 0; corner < BoxCorners; ++corner) {
        const auto clip = Apply(m, Corner(box, corner));
        const double w = clip[3];
        if (!(w > NearestW)) return whole;
        const double x = (clip[0] / w + 1) * 0.5 * mapping.width;
        const double y = (clip[1] / w + 1) * 0.5 * mapping.height;
        x0 = std::min(x0, x), x1 = std::max(x1, x);
        y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
    // Far outside the window the numbers may not fit an int: clamped while still doubles.
    auto clampTo = [](double v, int limit) {
        return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(limit)));
    };
    WindowRect r{
        clampTo(std::floor(x0) - Margin, whole.x1), clampTo(std::floor(y0) - Margin, whole.y1),
        clampTo(std::ceil(x1) + Margin, whole.x1), clampTo(std::ceil(y1) + Margin, whole.y1)};
    return r.Empty() ? WindowRect{} : r;
}

bool Touches(const DrawnRegion& region, const Matrix& place, const Box& box) {
    const WindowRect r = ProjectedRect(region.mapping, place, box), d = region.rect;
    return !r.Empty() && r.x0 < d.x1 && d.x0 < r.x1 && r.y0 < d.y1 && d.y0 < r.y1;
}

WindowRect CalculatorRect(const WindowMapping& mapping, const Geometry& g, double displayTilt) {
    return Union(ProjectedRect(mapping, IdentityMatrix(), CalculatorBody(g)),
                 DisplayFrameRect(mapping, g, displayTilt));
}

WindowRect KeyRect(const WindowMapping& mapping, const KeyRecord& key, float baseY0, float baseY1) {
    const float e = key.Edge / 2;
    const Matrix place = Translation(key.X, 0, key.Z) * Rotation(key.Angle, 0, 1, 0);
    return ProjectedRect(
        mapping, place,
        {-e, std::min(baseY0, baseY1), -e, e, std::max(baseY0, baseY1) + key.Height, e});
}

WindowRect DisplayFrameRect(const WindowMapping& mapping, const Geometry& g, double displayTilt) {
    return ProjectedRect(mapping, DisplayFrameTransform(g, displayTilt), DisplayFrameBox(g));
}

WindowRect GlyphAreaRect(const WindowMapping& mapping, const Geometry& g, double displayTilt) {
    // The glyphs lie in the plane of the frame's face, a border in from its corner.
    return ProjectedRect(mapping,
                         DisplayFrameTransform(g, displayTilt) *
                             Translation(g.frameBorder, g.frameBorder, 0),
                         {0, 0, 0, g.glyphWidth, g.glyphHeight, 0});
}
