#pragma once

#include "CalibrationData.h"
#include "Conversions.h"
#include "DisplayValue.h"

#include <QtGlobal>

#include <functional>

namespace Vantrel {

// What one sweep reads at its start; later changes of the main window's
// settings do not reach a sweep in progress.
struct TSweepSettings
{
    qint32 Start = 1000000; // Hz
    qint32 Stop = 30000000; // Hz
    qint32 Points = 100;    // intervals: Points + 1 readings per pass
    TDispMode Mode = TDispMode::SWR;
    bool Rv = false;        // R is wanted
    bool Xv = false;        // X is wanted
};

// Where the points of a sweep go, and whether it should stop. Every member
// may be empty.
struct TSweepSink
{
    // A reading of the plain pass, as the display mode shows it.
    std::function<void(qint32 freq, double value)> AddMain;
    // A reading of the series-resistor pass: R and |X| of the load.
    std::function<void(qint32 freq, const TRX &rx)> AddRX;
    // After every point of either pass (the UI caller lets the UI process its
    // events here).
    std::function<void()> AfterPoint;
    // Checked at every reading and after the plain pass. Once true, the pass
    // under way still reads its remaining replies (the analyzer cannot be
    // interrupted) but adds nothing, and no further pass starts.
    std::function<bool()> StopRequested;
};

// How a sweep ended without an error: all passes done, or stopped in the
// plain pass (no second pass started) or in the second pass (the plain pass
// is complete).
enum class TSweepEnd { Completed, StoppedInPlainPass, StoppedInRXPass };

// Nearest integer, halves to the even neighbour; saturates at the 32-bit limits.
qint32 RoundHalfEven(double value);

// (stop - start) / points, rounded half to even. Zero points raise the
// floating-point division errors.
qint32 SweepStep(qint32 start, qint32 stop, qint32 points);

// One sweep of the analyzer over s: "f" start and the plain pass; with R or X
// wanted, "f" start, "z1", a settling pause and the series-resistor pass,
// then "z0", which follows a started second pass even when it fails (once
// the analyzer is quiet again when the reply was given up). Holds
// the analyzer (TExchange) for the whole sweep. Knows no graph and no UI, so
// it serves the UI thread and a worker alike. Errors end the sweep; what the
// sink was given stays given.
TSweepEnd RunSweep(const TCalibrationData &cb, const TSweepSettings &s, const TSweepSink &sink);

} // namespace Vantrel
