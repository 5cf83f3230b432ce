#pragma once

#include "Sweep.h"

class TGraphM;

namespace Vantrel {

// One single sweep on the UI thread into the newest track of graph (the last
// CurvesPerTrack(s.Rv, s.Xv) curves, which must exist and stay alive until it
// returns). The graph goes to 100 % with the X range start .. stop; then the
// points go to the main curve and to the R and X curves as they arrive, and
// the UI processes its events after every point. Errors end the sweep and
// keep the points added so far.
// stopRequested, if given, is the sweep's stop request (see TSweepSink).
TSweepEnd MeasureTrack(TGraphM &graph, const TCalibrationData &cb, const TSweepSettings &s,
                       const std::function<bool()> &stopRequested = {});

} // namespace Vantrel
