#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>

#include "GraphPoint.h"

#include <cmath>
#include <span>
#include <vector>

class QPainter;

// How one curve is stroked: pen width and the square marks at its points.
struct TCurveStyle {
    QColor Color;
    int PenWidth = 1;
    bool Marks = false;
    int M1 = 0; // mark extent left of / above the point
    int M2 = 0; // mark extent right of / below it (exclusive)
};

// Thick lines with marks become a 1-pixel line through marks as wide as the
// line; otherwise the pen has the curve's width and marks are 5 x 5.
TCurveStyle MakeCurveStyle(const QColor &color, int thickLine, bool marks);

// Draws one run of mapped points (already in pixels, at least two) as a
// connected line inside clip, which must also be the painter's clip; the
// first point gets no mark. Lines without marks on a 32-bit image are
// rasterized straight into its scanlines, everything else through QPainter.
// A one-pixel line leaves out the pixel of its last point, as a line-to does
// (a mark covers it where there are marks).
void DrawCurvePoints(QPainter &p, std::span<const QPoint> points, const TCurveStyle &style,
                     const QRect &clip);

// Maps points to pixels with map(point) and hands every run of consecutive
// finite points to draw(std::span<const QPoint>): a point that is not a
// number breaks the line instead of spoiling the whole picture. buffer is
// scratch space, reused between calls to save allocations.
template <typename Map, typename Draw>
void ForEachFiniteRun(std::span<const TGraphPoint> points, std::vector<QPoint> &buffer, Map map, Draw draw)
{
    buffer.clear();
    buffer.reserve(points.size());
    const auto flush = [&] {
        if (buffer.size() >= 2)
            draw(std::span<const QPoint>(buffer));
        buffer.clear();
    };
    for (const TGraphPoint &pt : points) {
        if (!std::isfinite(pt.X) || !std::isfinite(pt.Y)) {
            flush();
            continue;
        }
        buffer.push_back(map(pt));
    }
    flush();
}
