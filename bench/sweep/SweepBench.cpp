// Single sweeps through the main window against the simulated analyzer:
// - paced at 9600 baud, 1001 points with R and X, against the pure wire time;
// - unpaced, 10,001 points with live drawing in a shown window.
#include "BenchForm.h"
#include "GraphM.h"
#include "MainForm.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Counts the paints of a widget.
class TPaintCounter : public QObject
{
public:
    int Paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

struct TRun
{
    double Ms = 0;
    qint64 WireBytes = 0;
    int Paints = 0;
};

qint64 ReplyBytes(const TAnalyzerSim &sim, qint32 start, qint32 step, int count, bool seriesR)
{
    qint64 n = 0;
    for (int i = 0; i < count; ++i)
        n += QByteArray::number(sim.RawCount(start + i * step, seriesR)).size() + 1; // the CR
    return n;
}

TRun Sweep(bool paced, int points, bool rx)
{
    TBenchForm bench(paced);
    TMainForm &form = *bench.Form;
    TAnalyzerSim *sim = bench.Sim;
    form.Settings.range_start = 1000000;
    form.Settings.range_stop = 30000000;
    form.Settings.range_points = points;
    form.Settings.R_vis = rx;
    form.Settings.X_vis = rx;
    QCoreApplication::processEvents();

    TPaintCounter counter;
    form.GraphM->installEventFilter(&counter);
    sim->ClearLog();
    QElapsedTimer t;
    t.start();
    form.NewClick();
    TRun run;
    run.Ms = double(t.nsecsElapsed()) / 1e6;
    run.Paints = counter.Paints;

    const qint32 step = (form.Settings.range_stop - form.Settings.range_start) / points;
    const int passes = rx ? 2 : 1;
    sim->WaitForCommands(sim->CommandsHandled() + (rx ? 6 : 2), 2000);
    run.WireBytes = sim->ReceivedBytes().size() + ReplyBytes(*sim, form.Settings.range_start, step, points + 1, false);
    if (passes == 2)
        run.WireBytes += ReplyBytes(*sim, form.Settings.range_start, step, points + 1, true);
    form.OpenClick();
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const TRun paced = Sweep(true, 1000, true);
    // The pure wire time counts every byte one after the other; on the line
    // "f" and "z1" travel during the 100 ms pause and "z0" after the sweep
    // has returned, so a sweep that adds nothing of its own comes out a
    // little below it (about -0.15 %).
    const double wireMs = paced.WireBytes * 10 * 1000.0 / 9600 + 100;
    std::printf("BENCH paced_1001_rx_overhead %.2f %%\n", (paced.Ms / wireMs - 1) * 100);
    std::printf("# paced: %.0f ms measured, %.0f ms on the wire (%lld bytes), %d paints\n", paced.Ms, wireMs,
                static_cast<long long>(paced.WireBytes), paced.Paints);

    const TRun live = Sweep(false, 10000, false);
    std::printf("BENCH unpaced_10001_live %.0f ms\n", live.Ms);
    std::printf("# unpaced: %d paints\n", live.Paints);
    return 0;
}
