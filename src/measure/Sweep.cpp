#include "Sweep.h"

#include "AnalyzerCommands.h"
#include "Conversions.h"
#include "ExchangeGuard.h"
#include "FloatChecks.h"
#include "GraphM.h"

#include <QThread>
#include <QTimer>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace Vantrel {

namespace {

constexpr int kSeriesRSettleMs = 100;
constexpr int kFrameMs = 16;

// Paints the graph at most once a frame while a sweep runs. Every point asks
// for a repaint and the UI processes its events after every point (and while
// it waits for each reply), so without this every point would repaint the
// whole graph.
class TFramePacer
{
public:
    explicit TFramePacer(TGraphM &graph)
        : FGraph(graph), FSeen(graph.RepaintRequests()), FWasEnabled(graph.updatesEnabled())
    {
        FGraph.setUpdatesEnabled(false);
        FTimer.setInterval(kFrameMs);
        QObject::connect(&FTimer, &QTimer::timeout, [this] { Frame(); });
        FTimer.start();
    }
    ~TFramePacer()
    {
        FTimer.stop();
        FGraph.setUpdatesEnabled(FWasEnabled); // asks for the final paint
    }
    TFramePacer(const TFramePacer &) = delete;
    TFramePacer &operator=(const TFramePacer &) = delete;

private:
    void Frame()
    {
        const quint64 requests = FGraph.RepaintRequests();
        if (requests == FSeen || !FWasEnabled)
            return;
        FSeen = requests;
        FGraph.setUpdatesEnabled(true);
        FGraph.repaint();
        FGraph.setUpdatesEnabled(false);
    }

    TGraphM &FGraph;
    quint64 FSeen;
    bool FWasEnabled;
    QTimer FTimer;
};

// Frequency of reading i; beyond the 32-bit range it is far above the
// calibration's top anyway.
qint32 PointFreq(qint32 f1, qint32 step, qint32 i)
{
    const qint64 f = qint64(i) * step + f1;
    if (f > std::numeric_limits<qint32>::max() || f < std::numeric_limits<qint32>::min())
        throw std::runtime_error("Exceed max freq limit");
    return qint32(f);
}

double DisplayValue(int mode, double rl)
{
    switch (mode) {
    case 0: return RLToSWR(rl);
    case 1: return RLToGamma(rl);
    default: return rl;
    }
}

} // namespace

qint32 RoundHalfEven(double value)
{
    if (std::isnan(value))
        throw std::runtime_error(kFloatInvalidOp);
    const double r = std::nearbyint(value); // the default rounding mode: ties to even
    if (r >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (r <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(r);
}

qint32 SweepStep(qint32 start, qint32 stop, qint32 points)
{
    return RoundHalfEven(CheckedDivide(double(qint64(stop) - start), double(points)));
}

void Measure(TGraphM &graph, const TCalibrationData &cb, const TSweepSettings &s)
{
    const qint32 f1 = s.Start;
    const bool withRX = s.Rv || s.Xv;
    const int nc = CurvesPerTrack(s.Rv, s.Xv);
    TCurves &curves = *graph.Curves();
    if (curves.Count() < nc)
        throw std::logic_error("Measure needs a track on the graph");

    graph.SetScaleXY(100);
    graph.SetMinXValue(f1);
    graph.SetMaxXValue(s.Stop);

    TExchange exchange;
    const TFramePacer pacer(graph);
    CmdSetFreq(f1);
    const qint32 step = SweepStep(f1, s.Stop, s.Points);
    // The count the sweep command would refuse, refused before it sizes the
    // return-loss buffer.
    if (s.Points < 0 || s.Points >= std::numeric_limits<qint32>::max())
        throw std::runtime_error(kInvalidCount);
    const qint32 count = s.Points + 1;

    std::vector<double> rl(withRX ? size_t(count) : 0);
    const int cidx = curves.Count() - nc;
    TCurve *mainCurve = curves.Items(cidx);
    TCurve *rCurve = s.Rv ? curves.Items(cidx + 1) : nullptr;
    TCurve *xCurve = s.Xv ? curves.Items(cidx + (s.Rv ? 2 : 1)) : nullptr;

    CmdSweep(step, count, [&](qint32 i, qint32 v) {
        const qint32 freq = PointFreq(f1, step, i);
        const double r = cb.Cvt2RL(freq, v);
        if (withRX)
            rl[size_t(i)] = r;
        mainCurve->AddPoint(freq, DisplayValue(s.Mode, r));
        ProcessUiEvents();
    });
    if (!withRX)
        return;

    CmdSetFreq(f1);
    try {
        CmdSeriesR(true);
        QThread::msleep(kSeriesRSettleMs);
        CmdSweep(step, count, [&](qint32 i, qint32 v) {
            const qint32 freq = PointFreq(f1, step, i);
            const TRX rx = CalcRX(rl[size_t(i)], cb.Cvt2RL(freq, v));
            if (rCurve)
                rCurve->AddPoint(freq, rx.R);
            if (xCurve)
                xCurve->AddPoint(freq, rx.X);
            ProcessUiEvents();
        });
    } catch (...) {
        // The resistor must not stay in series; an error of this send
        // replaces the first one.
        CmdSeriesR(false);
        throw;
    }
    CmdSeriesR(false);
}

} // namespace Vantrel
