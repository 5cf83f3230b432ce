#pragma once

#include "CalibrationData.h"
#include "DisplayValue.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace Vantrel {

// A colour as red, green and blue, 0..255 each.
struct TRgb
{
    int R = 0, G = 0, B = 0;
    bool operator==(const TRgb &) const = default;
};

// The colour of older track d (0 = oldest) of k older tracks: the components
// that are zero in base rise towards 255 the older the track, the others stay.
TRgb FadeColor(TRgb base, int d, int k);

// What one cycle of the repeat mode starts from: read on the UI thread when
// the cycle's new track has been added.
struct TCycleStart
{
    TDispMode Mode = TDispMode::SWR;
    bool Rv = false, Xv = false;
    double VisibleMinX = 0, VisibleMaxX = 0; // the graph's visible X window
    int CurveCount = 0;                      // curves, the new track included
};

// The tracks the repeat mode sweeps into. StartCycle and TrimTracks run on
// the UI thread while the worker waits; SetCurveColor and AddPoint run on the
// worker and throw when the curve index no longer exists, touching no other
// curve.
class TRepeatTracks
{
public:
    virtual ~TRepeatTracks() = default;
    virtual TCycleStart StartCycle() = 0;
    virtual void SetCurveColor(int index, TRgb color) = 0;
    virtual void AddPoint(int index, double x, double y) = 0;
    virtual void TrimTracks(int keepCurves) = 0;
};

// The repeat mode's worker: sweeps the visible part of f1..f2 again and
// again, each cycle into a new track, fades the older tracks and keeps the
// newest `tracks` tracks. Created and stopped on the UI thread, which must
// keep running its event loop while the worker runs (it delivers the serial
// data and runs the worker's UI steps).
class TRepThread
{
public:
    TRepThread(TRepeatTracks &target, const TCalibrationData &cb, qint32 f1, qint32 f2, qint32 nn, qint32 tracks);
    // Stops the worker first if it still runs.
    ~TRepThread();
    TRepThread(const TRepThread &) = delete;
    TRepThread &operator=(const TRepThread &) = delete;

    // Runs on the UI thread once the worker has ended by itself or after
    // Stop; the text is the error that ended it, empty after a stop.
    std::function<void(const QString &error)> OnEnded;

    void Start();
    // Asks the worker to end and waits for it, processing UI events. A pass
    // under way still reads its remaining replies; a started R/X pass still
    // ends with "z0". Returns the error that ended the worker, if any.
    QString Stop();
    // Read at the start of every cycle: while set, the worker only idles.
    void SetPaused(bool paused) { FPaused = paused; }
    bool Ended() const { return FEnded; }

    const qint32 f1, f2, nn, tracks;

private:
    void Execute();
    void Cycle();
    void RunOnUi(const std::function<void()> &step);
    void Join();

    TRepeatTracks &FTarget;
    const TCalibrationData FCb;
    std::unique_ptr<QObject> FUi; // lives on the UI thread; the worker's steps run in its context
    std::thread FThread;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FPaused{false};
    std::atomic<bool> FEnded{false};
    QString FError; // written by the worker before FEnded
    bool FEndReported = false;
};

} // namespace Vantrel
