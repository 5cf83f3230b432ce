#pragma once

#include "GraphPoint.h"

#include <QPoint>
#include <QSize>

#include <optional>

// The navigator's geometry and mapping, free of any widget: its size and
// place over the graph, the scale of the whole data to its client area, the
// frame of the graph's visible window and where a press moves that window.

// Width of the white band around the navigator's client area.
inline constexpr int kNavigatorBorder = 2;
// The frame of the visible window is never drawn smaller than this.
inline constexpr int kNavigatorMinFrame = 8;

// A rectangle by its edges; Right and Bottom lie just outside it.
struct TNavRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TNavRect &) const = default;
};

// What the navigator shows: the graph's full ranges of X and of the left
// axis, and its visible windows of both.
struct TNavRanges {
    double MaxX = 0, MinX = 0, MaxY = 0, MinY = 0;
    double scMaxX = 0, scMinX = 0, scMaxY = 0, scMinY = 0;
    bool operator==(const TNavRanges &) const = default;
};

// Navigator pixels per unit of X and of Y; both 0 when the client area or a
// full range cannot give a finite, positive scale.
struct TNavScale {
    double KX = 0, KY = 0;
    bool Valid() const { return KX > 0 && KY > 0; }
};

// Client area: a quarter of the graph's width and height.
QSize NavigatorClientSize(QSize graph);
// The window with its border band.
QSize NavigatorOuterSize(QSize client);
// Top-left of the window that puts its outer bottom-right corner on the
// graph's bottom-right corner; graphOrigin is the graph's client origin on
// the screen.
QPoint NavigatorTopLeft(QPoint graphOrigin, QSize graph, QSize outer);

// (CW - 2) / X span and (CH - 2) / Y span, guarded as TNavScale says.
TNavScale NavigatorScale(QSize client, const TNavRanges &r);

// The navigator pixel of a data point: x from the left edge, y up from the
// bottom edge CH.
QPoint NavigatorPixel(TGraphPoint p, QSize client, const TNavRanges &r, TNavScale s);

// The frame of the visible window, at least kNavigatorMinFrame pixels wide
// and high (grown to the right and downwards).
TNavRect NavigatorFrame(QSize client, const TNavRanges &r, TNavScale s);

// The frame moved, unchanged in size, so that its centre lies on press, then
// back inside the client area (left, top, right, bottom edge in this order).
TNavRect CentreFrameOn(TNavRect frame, QPoint press, QSize client);

// The left end of X and the upper end of Y of the window whose frame is
// given. No value when the scale is not valid or the result is not finite,
// so a press can never write such a value into the graph.
std::optional<TGraphPoint> NavigatorWindowCorner(TNavRect frame, QSize client, const TNavRanges &r,
                                                 TNavScale s);
