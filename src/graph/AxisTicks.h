#pragma once

#include <QRect>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

class QFontMetrics;

// Tick placement and label texts of one graph axis, free of any widget.

// Candidate tick steps, scaled by a power of ten.
inline constexpr std::array<double, 13> kTickStepTable{
    0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10};

struct TAxisTick {
    int Pos = 0;      // pixels from the axis origin
    double Value = 0; // the value the tick stands for
    QString Label;
};

struct TAxisTicks {
    double Step = 0;  // 0 when no valid step exists (nothing is drawn)
    double First = 0; // value of the first tick
    int Offset = 0;   // pixels from the axis origin to the first tick
    int Decimals = 0;
    std::vector<TAxisTick> Ticks;
};

// The smallest step of the table (times a power of ten) that is at least
// minStep; never below 0.001. Returns 0 for a non-finite or negative input.
double TickStep(double minStep);

// Label decimals for a tick step: 3 below 0.01, 2 below 0.1, 1 below 1, else 0.
int TickDecimals(double step);

// Fixed-point text with the given decimals and at most 10 significant digits;
// always a '.' decimal point, never a "-0".
QString FormatAxisValue(double value, int decimals);

// Ticks of the window lo..hi with valuePerPixel values per pixel, kept at
// least minSpacing pixels apart. Degenerate input (empty window, non-finite
// or non-positive scale, a step too small to move the value) gives no ticks.
TAxisTicks ComputeAxisTicks(double lo, double hi, double valuePerPixel, double minSpacing);

// Room for the labels of an axis: (0, 0, widest of hi and lo + 10, height of
// hi), both formatted with `precision` decimals.
QRect AxisLabelBox(double hi, double lo, int precision, const QFontMetrics &metrics);

// Pixel coordinates beyond this are clamped by RoundToPixel.
inline constexpr double kPixelLimit = 4.0e6;

// Round half to even, clamped to the pixel range the drawing can handle
// (NaN gives 0), so that values far outside the window stay drawable.
// Inline: the drawing maps two values per curve point.
inline int RoundToPixel(double value)
{
    if (std::isnan(value))
        return 0;
    const double v = std::clamp(value, -kPixelLimit, kPixelLimit);
    // Adding and taking away 1.5 * 2^52 leaves v rounded to an integer in the
    // current rounding mode (to nearest, ties to even), exactly as
    // std::nearbyint does, but without a library call.
    constexpr double kRoundShift = 6755399441055744.0;
    return static_cast<int>((v + kRoundShift) - kRoundShift);
}
