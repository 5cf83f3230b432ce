#include "GraphInteraction.h"

#include "AxisTicks.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdlib>

TZoomTarget ZoomTarget(TScaleMode mode, bool shift)
{
    switch (mode) {
    case smX:
        return shift ? TZoomTarget::Y : TZoomTarget::X;
    case smY:
        return shift ? TZoomTarget::X : TZoomTarget::Y;
    case smXY:
        break;
    }
    return TZoomTarget::Both;
}

int ZoomStep(int stepScale, bool zoomIn)
{
    const int step = stepScale / 2;
    return zoomIn ? step : -step;
}

std::optional<bool> WheelZoomsIn(QPoint angleDelta, bool shift)
{
    const int delta = angleDelta.y() != 0 || !shift ? angleDelta.y() : angleDelta.x();
    if (delta == 0)
        return std::nullopt;
    return delta < 0;
}

QPoint ArrowPanCentre(int width, int height, int margX, int margY)
{
    return QPoint((width - margX) / 2 + margX, (height - margY) / 2);
}

std::optional<QPoint> ArrowPanTarget(int key, bool ctrl, QPoint q, int width, int height, int margX,
                                     int margY)
{
    const int dx = ctrl ? width - margX - 10 : 10;
    const int dy = ctrl ? height - margY - 8 : 10;
    switch (key) {
    case Qt::Key_Left:
        return q - QPoint(dx, 0);
    case Qt::Key_Right:
        return q + QPoint(dx, 0);
    case Qt::Key_Up:
        return q - QPoint(0, dy);
    case Qt::Key_Down:
        return q + QPoint(0, dy);
    default:
        return std::nullopt;
    }
}

void ClampWindow(double &winMin, double &winMax, double lo, double hi)
{
    const double w = winMax - winMin;
    if (winMin < lo) {
        winMin = lo;
        winMax = lo + w;
    }
    if (winMax > hi) {
        winMax = hi;
        winMin = hi - w;
    }
}

int MarkerNear(std::span<const QPoint> markerPixels, QPoint click)
{
    for (size_t i = 0; i < markerPixels.size(); ++i) {
        const QPoint d = markerPixels[i] - click;
        if (std::abs(d.x()) < 5 && std::abs(d.y()) < 5)
            return int(i);
    }
    return -1;
}

std::optional<double> SearchTolerance(double span, int pixels)
{
    if (pixels == 0)
        return std::nullopt;
    return span / pixels;
}

bool WithinTolerance(double a, double b, double tol)
{
    if (tol == 0)
        tol = std::max(1e-12 * std::min(std::fabs(a), std::fabs(b)), 1e-12);
    return std::fabs(a - b) <= tol;
}

int FindNearPoint(std::span<const TGraphPoint> points, TGraphPoint g, double tolX, double tolY)
{
    for (size_t i = 0; i < points.size(); ++i)
        if (WithinTolerance(points[i].X, g.X, tolX) && WithinTolerance(points[i].Y, g.Y, tolY))
            return int(i);
    return -1;
}

QString HintText(int index, TGraphPoint gp, int decimals)
{
    return QStringLiteral("%1: (x:%2, y:%3)")
        .arg(index)
        .arg(FormatAxisValue(gp.X, decimals), FormatAxisValue(gp.Y, decimals));
}

QRect MeasureFigureBounds(QPoint from, QPoint to)
{
    // One pixel of slack on every side covers the pen's rounding.
    return QRect(from, to).normalized().adjusted(-1, -1, 1, 1);
}
