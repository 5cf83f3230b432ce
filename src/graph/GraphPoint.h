#pragma once

// Value types shared by the curves, the scale model and the drawing.

struct TGraphPoint {
    double X = 0.0;
    double Y = 0.0;
};
static_assert(sizeof(TGraphPoint) == 16, "a point is exactly two doubles");

inline bool operator==(const TGraphPoint &a, const TGraphPoint &b)
{
    return a.X == b.X && a.Y == b.Y;
}

// Vertical axis a curve is plotted against.
enum TAxis { axLeft = 0, axRight = 1 };

// What the plain zoom gestures act on.
enum TScaleMode { smX = 0, smY = 1, smXY = 2 };
