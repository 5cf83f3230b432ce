// The repeat mode against the simulated analyzer:
// - paced at 9600 baud: the time from the last reply of one cycle to the
//   first command of the next (median);
// - unpaced, 30 tracks of 3 curves x 1001 points in the main window: the
//   lateness of a 5 ms UI timer while the worker sweeps (99th percentile),
//   and the sweeps per second.
#include "BenchForm.h"
#include "GraphM.h"
#include "MainForm.h"
#include "RepThread.h"
#include "RepeatTracks.h"
#include "SerialLink.h"
#include "Tracks.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

using namespace Vantrel;
using TClock = std::chrono::steady_clock;

namespace {

double Ms(TClock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

// Passes everything on, noting when the last reading of each cycle came in.
class TTimedTracks : public TRepeatTracks
{
public:
    explicit TTimedTracks(TRepeatTracks &inner) : FInner(inner) {}
    TCycleStart StartCycle() override { return FInner.StartCycle(); }
    void SetCurveColor(int index, TRgb color) override { FInner.SetCurveColor(index, color); }
    void AddPoint(int index, double x, double y) override
    {
        FInner.AddPoint(index, x, y);
        std::lock_guard lock(M);
        LastPoint = TClock::now();
    }
    void TrimTracks(int keepCurves) override
    {
        {
            std::lock_guard lock(M);
            CycleEnds.push_back(LastPoint);
        }
        FInner.TrimTracks(keepCurves);
    }

    std::mutex M;
    TClock::time_point LastPoint;
    std::vector<TClock::time_point> CycleEnds;

private:
    TRepeatTracks &FInner;
};

double CycleGapMs()
{
    TSimOptions opt;
    opt.Paced = true;
    TAnalyzerSim sim(opt);
    sim.Start();
    QSerialPort port;
    SetPort(&port);
    OpenPort(sim.PortName());

    TGraphM graph;
    graph.resize(1072, 508);
    TRepeatGraphTracks graphTracks(
        graph,
        [&graph] {
            AddTrack(*graph.Curves(), TDispMode::SWR, true, true);
            return TCycleStart{TDispMode::SWR, true, true};
        },
        [] {});
    TTimedTracks timed(graphTracks);

    // When each command reached the analyzer, from a watcher of its wire log.
    std::atomic<bool> watching{true};
    std::mutex logLock;
    std::vector<std::pair<TClock::time_point, qsizetype>> arrivals;
    std::thread watcher([&] {
        qsizetype seen = 0;
        while (watching) {
            const qsizetype n = sim.ReceivedBytes().size();
            if (n != seen) {
                seen = n;
                std::lock_guard lock(logLock);
                arrivals.emplace_back(TClock::now(), n);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });

    TRepThread worker(timed, CalibrationOf(sim), 1000000, 2000000, 10, 4);
    worker.Start();
    QElapsedTimer t;
    t.start();
    auto cyclesDone = [&timed] {
        std::lock_guard lock(timed.M);
        return timed.CycleEnds.size();
    };
    while (t.elapsed() < 5000 && cyclesDone() < 9)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.Stop();
    watching = false;
    watcher.join();

    // The first "f" after each "z0" opens the next cycle.
    const QByteArray wire = sim.ReceivedBytes();
    std::vector<qsizetype> cycleStarts;
    for (qsizetype i = wire.indexOf("z0\r"); i >= 0; i = wire.indexOf("z0\r", i + 1)) {
        const qsizetype f = wire.indexOf("f ", i);
        if (f >= 0)
            cycleStarts.push_back(f);
    }
    std::vector<double> gaps;
    for (size_t c = 0; c < timed.CycleEnds.size() && c < cycleStarts.size(); ++c)
        for (const auto &[when, size] : arrivals)
            if (size > cycleStarts[c]) {
                gaps.push_back(Ms(when - timed.CycleEnds[c]));
                break;
            }
    ClosePort();
    SetPort(nullptr);
    std::printf("# cycle gaps measured: %zu\n", gaps.size());
    return Percentile(gaps, 0.5);
}

struct TLatency
{
    double P99 = 0;
    double SweepsPerSecond = 0;
};

TLatency UiLatency()
{
    TBenchForm bench(false);
    TMainForm &form = *bench.Form;
    TAnalyzerSim *sim = bench.Sim;
    form.Settings.range_points = 1000;
    form.Settings.R_vis = form.Settings.X_vis = true;
    form.Settings.track_limit = 30;
    form.TrackLimitClick(30);
    std::printf("# graph %dx%d\n", form.GraphM->width(), form.GraphM->height());

    form.btnStartStopClick();
    QElapsedTimer t;
    t.start();
    while (form.GraphM->Curves()->Count() < 31 * 3 && t.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);

    std::vector<double> late;
    QElapsedTimer tick;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        late.push_back(std::max(0.0, double(tick.nsecsElapsed()) / 1e6 - 5));
        tick.start();
    });
    // Every finished sweep ends with "z0".
    auto sweeps = [sim] { return sim->ReceivedCommands().count(QByteArray("z0")); };
    const qsizetype sweepsBefore = sweeps();
    QElapsedTimer window;
    window.start();
    tick.start();
    timer.start();
    while (window.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    timer.stop();
    const qsizetype sweepsAfter = sweeps();
    form.btnStartStopClick();
    std::printf("# timer ticks: %zu, curves %d\n", late.size(), form.GraphM->Curves()->Count());
    return {Percentile(late, 0.99), double(sweepsAfter - sweepsBefore) / (double(window.elapsed()) / 1000.0)};
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("BENCH repeat_cycle_gap %.2f ms\n", CycleGapMs());
    const TLatency l = UiLatency();
    std::printf("BENCH repeat_ui_latency_p99 %.2f ms\n", l.P99);
    std::printf("BENCH repeat_sweeps_per_s %.1f /s\n", l.SweepsPerSecond);
    return 0;
}
