#include "NavigatorMap.h"

#include "AxisTicks.h"

#include <cmath>

namespace {

double Scale(int pixels, double span)
{
    const double k = pixels / span;
    return std::isfinite(k) && k > 0 ? k : 0.0;
}

} // namespace

QSize NavigatorClientSize(QSize graph)
{
    return QSize(graph.width() / 4, graph.height() / 4);
}

QSize NavigatorOuterSize(QSize client)
{
    return client + QSize(2 * kNavigatorBorder, 2 * kNavigatorBorder);
}

QPoint NavigatorTopLeft(QPoint graphOrigin, QSize graph, QSize outer)
{
    return graphOrigin + QPoint(graph.width() - outer.width(), graph.height() - outer.height());
}

TNavScale NavigatorScale(QSize client, const TNavRanges &r)
{
    TNavScale s{Scale(client.width() - 2, r.MaxX - r.MinX), Scale(client.height() - 2, r.MaxY - r.MinY)};
    if (!s.Valid())
        s = TNavScale{};
    return s;
}

QPoint NavigatorPixel(TGraphPoint p, QSize client, const TNavRanges &r, TNavScale s)
{
    return QPoint(RoundToPixel((p.X - r.MinX) * s.KX), client.height() - RoundToPixel((p.Y - r.MinY) * s.KY));
}

TNavRect NavigatorFrame(QSize client, const TNavRanges &r, TNavScale s)
{
    const QPoint topLeft = NavigatorPixel({r.scMinX, r.scMaxY}, client, r, s);
    const QPoint bottomRight = NavigatorPixel({r.scMaxX, r.scMinY}, client, r, s);
    TNavRect f{topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()};
    if (f.Right - f.Left < kNavigatorMinFrame)
        f.Right = f.Left + kNavigatorMinFrame;
    if (f.Bottom - f.Top < kNavigatorMinFrame)
        f.Bottom = f.Top + kNavigatorMinFrame;
    return f;
}

TNavRect CentreFrameOn(TNavRect f, QPoint press, QSize client)
{
    const auto move = [&f](int dx, int dy) {
        f.Left += dx;
        f.Right += dx;
        f.Top += dy;
        f.Bottom += dy;
    };
    move(press.x() - (f.Left + f.Right) / 2, press.y() - (f.Top + f.Bottom) / 2);
    if (f.Left < 0)
        move(-f.Left, 0);
    if (f.Top < 0)
        move(0, -f.Top);
    if (f.Right > client.width())
        move(client.width() - f.Right, 0);
    if (f.Bottom > client.height())
        move(0, client.height() - f.Bottom);
    return f;
}

std::optional<TGraphPoint> NavigatorWindowCorner(TNavRect frame, QSize client, const TNavRanges &r,
                                                 TNavScale s)
{
    if (!s.Valid())
        return std::nullopt;
    const TGraphPoint corner{frame.Left / s.KX + r.MinX, (client.height() - frame.Top) / s.KY + r.MinY};
    if (!std::isfinite(corner.X) || !std::isfinite(corner.Y))
        return std::nullopt;
    return corner;
}
