#include "TrackSweep.h"

#include "ExchangeGuard.h"
#include "GraphM.h"
#include "Tracks.h"

#include <stdexcept>

namespace Vantrel {

TSweepEnd MeasureTrack(TGraphM &graph, const TCalibrationData &cb, const TSweepSettings &s,
                       const std::function<bool()> &stopRequested)
{
    TCurves &curves = *graph.Curves();
    const int nc = CurvesPerTrack(s.Rv, s.Xv);
    if (curves.Count() < nc)
        throw std::logic_error("MeasureTrack needs a track on the graph");

    graph.SetScaleXY(100);
    graph.SetMinXValue(s.Start);
    graph.SetMaxXValue(s.Stop);

    const int cidx = curves.Count() - nc;
    TCurve *mainCurve = curves.Items(cidx);
    TCurve *rCurve = s.Rv ? curves.Items(cidx + 1) : nullptr;
    TCurve *xCurve = s.Xv ? curves.Items(cidx + (s.Rv ? 2 : 1)) : nullptr;

    TSweepSink sink;
    sink.AddMain = [mainCurve](qint32 freq, double value) { mainCurve->AddPoint(freq, value); };
    sink.AddRX = [rCurve, xCurve](qint32 freq, const TRX &rx) {
        if (rCurve)
            rCurve->AddPoint(freq, rx.R);
        if (xCurve)
            xCurve->AddPoint(freq, rx.X);
    };
    sink.AfterPoint = ProcessUiEvents;
    sink.StopRequested = stopRequested;
    return RunSweep(cb, s, sink);
}

} // namespace Vantrel
