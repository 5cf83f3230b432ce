#pragma once

#include "GraphPoint.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>
#include <span>

// The arithmetic behind the graph's mouse and keyboard gestures, free of any
// widget: which zoom a wheel notch or a keypad key changes and by how much,
// where the arrow keys pan to, how a window is kept inside its full range,
// and the tolerance search of the hover hint.

// What a plain zoom gesture changes.
enum class TZoomTarget { X, Y, Both };

// The zoom a gesture acts on: ScaleMode picks X, Y or both; with Shift, smX
// and smY act on the other axis, smXY ignores Shift.
TZoomTarget ZoomTarget(TScaleMode mode, bool shift);

// Percent step of one zoom gesture: StepScale div 2, towards larger zoom
// when zoomIn.
int ZoomStep(int stepScale, bool zoomIn);

// Whether a wheel notification zooms in: turned towards the user (negative
// delta). angleDelta is Qt's (x, y) pair: the vertical turn counts, or with
// Shift the horizontal one when the platform turned Shift+wheel into a
// sideways scroll. No value when the notification carries no turn at all.
std::optional<bool> WheelZoomsIn(QPoint angleDelta, bool shift);

// The plot-centre pixel Q the arrow keys pan around.
QPoint ArrowPanCentre(int width, int height, int margX, int margY);

// The pixel the data under Q moves to for an arrow key (Qt::Key_Left ...):
// 10 pixels in the key's direction, with Ctrl nearly a whole plot width or
// height. No value for any other key.
std::optional<QPoint> ArrowPanTarget(int key, bool ctrl, QPoint q, int width, int height, int margX,
                                     int margY);

// Moves a window of its own span back inside lo..hi: first off the lower
// end, then off the upper one (a window wider than the range ends at hi).
void ClampWindow(double &winMin, double &winMax, double lo, double hi);

// Index of the first marker pixel within 4 pixels of click in both
// directions; -1 when none is.
int MarkerNear(std::span<const QPoint> markerPixels, QPoint click);

// Search tolerance of the hint: a window span divided by a pixel count. No
// value when the control is too small to give a divisor (pixels 0).
std::optional<double> SearchTolerance(double span, int pixels);

// |a - b| <= tol, where a tolerance of exactly 0 stands for 1e-12 times the
// smaller magnitude, but at least 1e-12.
bool WithinTolerance(double a, double b, double tol);

// Index of the first point within the tolerances of g; -1 when none is.
int FindNearPoint(std::span<const TGraphPoint> points, TGraphPoint g, double tolX, double tolY);

// The hover hint: "12: (x:7050000.0, y:1.5)"; the numbers are written as
// the axis labels are (FormatAxisValue).
QString HintText(int index, TGraphPoint gp, int decimals);

// Bounds of the measuring figure (line and rectangle between from and to)
// with its 1-pixel pen: what must be repainted to draw or remove it.
QRect MeasureFigureBounds(QPoint from, QPoint to);
