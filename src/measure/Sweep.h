#pragma once

#include "CalibrationData.h"

#include <QtGlobal>

class TGraphM;

namespace Vantrel {

// What one single sweep reads at its start; later changes of the main
// window's settings do not reach a sweep in progress.
struct TSweepSettings
{
    qint32 Start = 1000000; // Hz
    qint32 Stop = 30000000; // Hz
    qint32 Points = 100;    // intervals: Points + 1 readings per pass
    int Mode = 0;           // 0 SWR, 1 Gamma, 2 return loss in dB
    bool Rv = false;        // the track has an R curve
    bool Xv = false;        // the track has an X curve
};

// Curves of one track: the main curve, then R and X when shown.
inline int CurvesPerTrack(bool rVis, bool xVis) { return 1 + (rVis ? 1 : 0) + (xVis ? 1 : 0); }

// Nearest integer, halves to the even neighbour; saturates at the 32-bit limits.
qint32 RoundHalfEven(double value);

// (stop - start) / points, rounded half to even. Zero points raise the
// floating-point division errors.
qint32 SweepStep(qint32 start, qint32 stop, qint32 points);

// One sweep over the range into the newest track (the last CurvesPerTrack
// curves of graph, which must exist). The graph goes to 100 % with the X range
// start .. stop; then the plain pass fills the main curve point by point and,
// with R or X shown, a second pass through the series resistor fills the R and
// X curves. "z0" follows a started second pass even when it fails. Holds the
// analyzer (TExchange) for the whole sweep and lets the UI process its events
// after every point; the caller must keep the track's curves alive meanwhile.
// Errors end the sweep and keep the points added so far.
void Measure(TGraphM &graph, const TCalibrationData &cb, const TSweepSettings &s);

} // namespace Vantrel
