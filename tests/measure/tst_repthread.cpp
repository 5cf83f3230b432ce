// The repeat mode's worker against the simulated analyzer, with the tracks
// kept in a small model of their own instead of a graph.
#include "AnalyzerSim.h"
#include "ExchangeGuard.h"
#include "RepThread.h"
#include "SerialLink.h"
#include "SimCalibration.h"
#include "Sweep.h"

#include <QSerialPort>
#include <QtTest>

#include <mutex>

using namespace Vantrel;

namespace {

// Tracks as plain curves. Records, for every cycle, the curve count while
// it sweeps and the colours at its first point (after the fading).
class TFakeTracks : public TRepeatTracks
{
public:
    struct TCurveRec
    {
        TRgb Color;
        int Points = 0;
    };

    bool Rv = false, Xv = false;
    double VisibleMin = 1000000, VisibleMax = 2000000;

    TCycleStart StartCycle() override
    {
        std::lock_guard lock(M);
        Curves.push_back({{255, 0, 0}, 0});
        if (Rv)
            Curves.push_back({{0, 0, 255}, 0});
        if (Xv)
            Curves.push_back({{0, 255, 0}, 0});
        ++Cycles;
        FirstPointSeen = false;
        return {TDispMode::SWR, Rv, Xv, VisibleMin, VisibleMax, int(Curves.size())};
    }
    void SetCurveColor(int index, TRgb color) override
    {
        std::lock_guard lock(M);
        At(index).Color = color;
    }
    void AddPoint(int index, double, double) override
    {
        std::lock_guard lock(M);
        At(index).Points++;
        if (!FirstPointSeen) {
            FirstPointSeen = true;
            SweepingCounts << int(Curves.size());
            ColoursAtFirstPoint.clear();
            for (const TCurveRec &c : Curves)
                ColoursAtFirstPoint << c.Color;
        }
    }
    void TrimTracks(int keepCurves) override
    {
        std::lock_guard lock(M);
        while (int(Curves.size()) > keepCurves)
            Curves.erase(Curves.begin());
        TrimmedCounts << int(Curves.size());
    }

    int Count()
    {
        std::lock_guard lock(M);
        return int(Curves.size());
    }
    int CycleCount()
    {
        std::lock_guard lock(M);
        return Cycles;
    }
    // Points of the oldest curve, 0 before there is one.
    int FirstCurvePoints()
    {
        std::lock_guard lock(M);
        return Curves.empty() ? 0 : Curves[0].Points;
    }
    int Trims()
    {
        std::lock_guard lock(M);
        return int(TrimmedCounts.size());
    }
    void Clear()
    {
        std::lock_guard lock(M);
        Curves.clear();
    }

    std::mutex M;
    std::vector<TCurveRec> Curves;
    QList<int> SweepingCounts, TrimmedCounts;
    QList<TRgb> ColoursAtFirstPoint;
    int Cycles = 0;
    bool FirstPointSeen = false;

private:
    TCurveRec &At(int index)
    {
        if (index < 0 || index >= int(Curves.size()))
            throw std::runtime_error("no curve " + std::to_string(index));
        return Curves[size_t(index)];
    }
};

bool WaitFor(const std::function<bool()> &done, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace

class TestRepThread : public QObject
{
    Q_OBJECT

    QSerialPort FPort;
    std::unique_ptr<TAnalyzerSim> FSim;

    void Open(bool paced = false)
    {
        ClosePort();
        TSimOptions opt;
        opt.Paced = paced;
        FSim = std::make_unique<TAnalyzerSim>(opt);
        FSim->Start();
        OpenPort(FSim->PortName());
    }

private slots:
    void initTestCase() { SetPort(&FPort); }
    void init() { Open(); }
    void cleanupTestCase()
    {
        ClosePort();
        SetPort(nullptr);
        FSim.reset();
    }

    void fadeColor_data()
    {
        QTest::addColumn<int>("d");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("g");
        QTest::newRow("oldest of 3") << 0 << 3 << 191;
        QTest::newRow("middle of 3") << 1 << 3 << 127;
        QTest::newRow("newest older of 3") << 2 << 3 << 63;
        QTest::newRow("one older") << 0 << 1 << 127;
    }

    void fadeColor()
    {
        QFETCH(int, d);
        QFETCH(int, k);
        QFETCH(int, g);
        QCOMPARE(FadeColor({255, 0, 0}, d, k), (TRgb{255, g, g}));
        QCOMPARE(FadeColor({0, 0, 255}, d, k), (TRgb{g, g, 255}));
        QCOMPARE(FadeColor({0, 255, 0}, d, k), (TRgb{g, 255, g}));
    }

    void cyclesTrimAndFade_data()
    {
        QTest::addColumn<bool>("rv");
        QTest::addColumn<bool>("xv");
        QTest::newRow("R and X") << true << true;
        QTest::newRow("only X") << false << true;
        QTest::newRow("plain") << false << false;
    }

    void cyclesTrimAndFade()
    {
        // Limit 4: from the fifth cycle on, 5 tracks while sweeping and 4
        // after the trimming; the older tracks' curves faded by their age.
        QFETCH(bool, rv);
        QFETCH(bool, xv);
        const int nc = 1 + rv + xv;
        TFakeTracks tracks;
        tracks.Rv = rv;
        tracks.Xv = xv;
        TRepThread worker(tracks, CalibrationOf(*FSim), 1000000, 2000000, 10, 4);
        worker.Start();
        QVERIFY(WaitFor([&] { return tracks.CycleCount() >= 7; }));
        QCOMPARE(worker.Stop(), QString());

        QList<int> sweeping;
        for (int cycle = 1; cycle <= 6; ++cycle)
            sweeping << std::min(cycle, 5) * nc;
        QCOMPARE(tracks.SweepingCounts.mid(0, 6), sweeping);
        for (int i = 4; i < tracks.TrimmedCounts.size(); ++i)
            QCOMPARE(tracks.TrimmedCounts[i], 4 * nc);

        // The last cycle that reached its first point: k = 4 older tracks.
        const QList<TRgb> &c = tracks.ColoursAtFirstPoint;
        QCOMPARE(int(c.size()), 5 * nc);
        for (int d = 0; d < 4; ++d) {
            QCOMPARE(c[d * nc], FadeColor({255, 0, 0}, d, 4));
            if (xv)
                QCOMPARE(c[d * nc + nc - 1], FadeColor({0, 255, 0}, d, 4));
            if (rv)
                QCOMPARE(c[d * nc + 1], FadeColor({0, 0, 255}, d, 4));
        }
        QCOMPARE(c[4 * nc], (TRgb{255, 0, 0}));
        QVERIFY(!ExchangeBusy());
    }

    void sweepsTheVisibleWindow_data()
    {
        QTest::addColumn<double>("visMin");
        QTest::addColumn<double>("visMax");
        QTest::addColumn<QByteArray>("f");
        QTest::addColumn<QByteArray>("r");
        QTest::newRow("middle third") << 4000000.0 << 5000000.0 << QByteArray("f 4000000") << QByteArray("r 33333 31");
        QTest::newRow("wider than the range") << 0.0 << 9000000.0 << QByteArray("f 3000000") << QByteArray("r 100000 31");
        QTest::newRow("rounding half to even") << 3000000.5 << 3000030.5 << QByteArray("f 3000000") << QByteArray("r 1 31");
    }

    void sweepsTheVisibleWindow()
    {
        QFETCH(double, visMin);
        QFETCH(double, visMax);
        TFakeTracks tracks;
        tracks.VisibleMin = visMin;
        tracks.VisibleMax = visMax;
        TRepThread worker(tracks, CalibrationOf(*FSim), 3000000, 6000000, 30, 2);
        FSim->ClearLog();
        worker.Start();
        QVERIFY(WaitFor([&] { return tracks.CycleCount() >= 2; }));
        worker.Stop();
        const QList<QByteArray> wire = FSim->ReceivedCommands();
        QVERIFY(wire.size() >= 2);
        QTEST(wire[0], "f");
        QTEST(wire[1], "r");
    }

    void pauseFinishesTheCycleThenIdles()
    {
        TFakeTracks tracks;
        tracks.Rv = true;
        Open(true); // paced: a pass takes about 100 ms
        TRepThread worker(tracks, CalibrationOf(*FSim), 1000000, 2000000, 20, 4);
        worker.Start();
        QVERIFY(WaitFor([&] { return tracks.FirstCurvePoints() > 3; }));
        worker.SetPaused(true);
        QVERIFY(WaitFor([&] { return tracks.Trims() == 1; }));
        QVERIFY(FSim->WaitForCommands(6, 2000)); // f r f z1 r z0, z0 still on the line
        const int handled = FSim->CommandsHandled();
        QTest::qWait(400);
        QCOMPARE(FSim->CommandsHandled(), handled);
        QCOMPARE(FSim->ReceivedCommands().last(), QByteArray("z0"));
        QCOMPARE(tracks.CycleCount(), 1);
        worker.SetPaused(false);
        QVERIFY(WaitFor([&] { return tracks.CycleCount() == 2; }));
        worker.Stop();
    }

    void stopInThePlainPassReadsItsReplies()
    {
        TFakeTracks tracks;
        tracks.Rv = tracks.Xv = true;
        Open(true);
        TRepThread worker(tracks, CalibrationOf(*FSim), 1000000, 2000000, 40, 4);
        FSim->ClearLog();
        worker.Start();
        QVERIFY(WaitFor([&] { return tracks.FirstCurvePoints() >= 5; }));
        QElapsedTimer t;
        t.start();
        QCOMPARE(worker.Stop(), QString());
        QVERIFY(t.elapsed() > 50); // it waited for the rest of the pass
        QVERIFY(tracks.Curves[0].Points < 41);
        QCOMPARE(FSim->ReceivedCommands(), (QList<QByteArray>{"f 1000000", "r 25000 41"}));
        QVERIFY(tracks.TrimmedCounts.isEmpty());
        QVERIFY(!ExchangeBusy());
        // The next exchange gets its own reply, not a left-over reading.
        QVERIFY(FSim->WaitForCommands(2, 1000));
        FSim->SetPaced(false);
        TFakeTracks again;
        TRepThread next(again, CalibrationOf(*FSim), 1000000, 2000000, 5, 1);
        next.Start();
        QVERIFY(WaitFor([&] { return again.CycleCount() >= 2; }));
        QCOMPARE(next.Stop(), QString());
    }

    void errorsEndTheWorkerAndAreReported_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("error");
        QTest::newRow("tracks cleared under it") << "clear" << "no curve";
        QTest::newRow("analyzer hangs up") << "hangup" << "Port Not Open";
        QTest::newRow("port closed") << "close" << "Port Not Open";
    }

    void errorsEndTheWorkerAndAreReported()
    {
        QFETCH(QString, fault);
        TFakeTracks tracks;
        tracks.Rv = true;
        Open(true);
        TRepThread worker(tracks, CalibrationOf(*FSim), 1000000, 2000000, 40, 4);
        QString reported = QStringLiteral("not reported");
        worker.OnEnded = [&](const QString &e) { reported = e; };
        worker.Start();
        QVERIFY(WaitFor([&] { return tracks.FirstCurvePoints() >= 3; }));
        if (fault == "clear")
            tracks.Clear();
        else if (fault == "hangup")
            FSim->Stop();
        else
            ClosePort();
        QVERIFY(WaitFor([&] { return reported != QStringLiteral("not reported"); }, 7000));
        QVERIFY(worker.Ended());
        QFETCH(QString, error);
        QVERIFY2(reported.startsWith(error), qPrintable(reported));
        QCOMPARE(worker.Stop(), reported);
        QVERIFY(!ExchangeBusy());
    }
};

QTEST_GUILESS_MAIN(TestRepThread)
#include "tst_repthread.moc"
