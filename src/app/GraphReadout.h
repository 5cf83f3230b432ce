#pragma once

#include "DisplayValue.h"
#include "GraphPoint.h"

#include <QString>

#include <optional>
#include <span>
#include <vector>

// The texts that turn graph positions into numbers for the user: the cursor
// readout over the graph, the marker labels and the " SWR <= 2 " list of the
// "Info" command. Frequencies use "#,##0" (the locale's thousands
// separator), values "#0.0" (always a '.' point, no grouping).

namespace Vantrel {

// A frequency or frequency difference in Hz, rounded to a whole number
// (halves away from zero) and grouped in thousands: "10,000,000".
QString FormatHz(double hz);

// A value with one decimal and a '.' point: "1.5", "-7.3"; a value that
// rounds to zero is "0.0", never "-0.0".
QString FormatValue(double value);

// The readout at the cursor: "10,000,000Hz, SWR=1.5", with "dB" after the
// value in return-loss mode and ", R=5.3" when a right-axis value is given
// (R and X share the right axis; the label says R for either).
QString CursorText(TGraphPoint p, TDispMode dispMode, std::optional<double> rightValue);

// The readout during a measuring drag between two points: "Δ " and the
// absolute differences, "Δ 9,000,000Hz, SWR=0.5".
QString MeasureText(TGraphPoint from, TGraphPoint to, TDispMode dispMode);

// The label of a marker: "7,050,000Hz, 1.5" ("dB" appended in return-loss
// mode); no symbol of the display quantity.
QString MarkerText(TGraphPoint marker, TDispMode dispMode);

// The SWR of a curve value of the display mode.
double SwrOfValue(double value, TDispMode dispMode);

// The spans of a curve whose SWR is at most 2, within the window
// winMin..winMax (both ends inside).
struct TSwrSpans {
    // One "7,050,000Hz - 7,150,000Hz" line per closed span, each ended by
    // CR LF; empty when no span closed.
    QString Text;
    // Two markers per listed span, at its start and its end frequency, both
    // with the curve value of the end point.
    std::vector<TGraphPoint> Markers;
};

// A span opens at the first in-window point (from the second point on) with
// SWR <= 2 and closes at the next in-window point above 2, which is its
// listed end. A span still open after the last point is not listed.
TSwrSpans SwrSpans(std::span<const TGraphPoint> points, double winMin, double winMax, TDispMode dispMode);

// The lowest SWR of a track's main curve (the first point of several equal
// ones), and R and |X| at that frequency when the track holds them.
struct TMinSwr {
    double Freq = 0;
    double Swr = 0;
    std::optional<double> R, X;
};

// Absent for a curve without points. rPoints and xPoints are the track's R
// and X curves, absent when it has none.
std::optional<TMinSwr> MinSwr(std::span<const TGraphPoint> points, TDispMode dispMode,
                              std::optional<std::span<const TGraphPoint>> rPoints,
                              std::optional<std::span<const TGraphPoint>> xPoints);

// The "Info" box's line after the spans: "Min SWR 1.05 at 7,100,000Hz" and
// ", R=48.2, |X|=3.1" for what the track holds. The SWR has two decimals: a
// tuned antenna's minimum lies between 1.0 and 1.1.
QString MinSwrText(const TMinSwr &m);

} // namespace Vantrel
