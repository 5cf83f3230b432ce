#include "CurveDrawing.h"

#include "FastLines.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>

TCurveStyle MakeCurveStyle(const QColor &color, int thickLine, bool marks)
{
    TCurveStyle s;
    s.Color = color;
    s.Marks = marks;
    if (thickLine > 1 && marks) {
        s.M1 = thickLine / 2;
        s.M2 = thickLine - s.M1;
        s.PenWidth = 1;
    } else {
        // A width below 1 still draws a 1-pixel line.
        s.PenWidth = std::max(thickLine, 1);
        if (marks) {
            s.M1 = 2;
            s.M2 = 3;
        }
    }
    return s;
}

void DrawCurvePoints(QPainter &p, std::span<const QPoint> points, const TCurveStyle &style,
                     const QRect &clip)
{
    if (points.size() < 2)
        return;
    auto *image = dynamic_cast<QImage *>(p.device());
    if (!style.Marks && image && image->format() == QImage::Format_RGB32) {
        // The canvas's line-to leaves out the end pixel of a one-pixel line.
        DrawCurveFast(*image, points.data(), static_cast<int>(points.size()), style.Color.rgb(),
                      style.PenWidth, clip, false);
        return;
    }
    QPen pen(style.Color, style.PenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setCosmetic(style.PenWidth == 1);
    p.setPen(pen);
    p.drawPolyline(points.data(), static_cast<int>(points.size()));
    if (style.Marks) {
        const int size = style.M1 + style.M2;
        for (size_t i = 1; i < points.size(); ++i)
            p.fillRect(points[i].x() - style.M1, points[i].y() - style.M1, size, size, style.Color);
    }
}
