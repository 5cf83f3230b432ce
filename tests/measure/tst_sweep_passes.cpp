// The sweep passes on their own, without a graph or a window: what reaches
// the sink, the stop request, and memory that follows the readings.
#include "AnalyzerCommands.h"
#include "AnalyzerSim.h"
#include "ErrorOf.h"
#include "ExchangeGuard.h"
#include "RxBuf.h"
#include "SerialLink.h"
#include "SimCalibration.h"
#include "Sweep.h"

#include <QSerialPort>
#include <QtTest>

#include <limits>
#include <sys/resource.h>

using namespace Vantrel;

namespace {

struct TCollected
{
    QList<qint32> Main, RX;
    TSweepSink Sink;
    TCollected()
    {
        Sink.AddMain = [this](qint32 f, double) { Main << f; };
        Sink.AddRX = [this](qint32 f, const TRX &) { RX << f; };
    }
};

} // namespace

class TestSweepPasses : public QObject
{
    Q_OBJECT

    QSerialPort FPort;
    std::unique_ptr<TAnalyzerSim> FSim;

    void Open()
    {
        TSimOptions opt;
        opt.Paced = false;
        FSim = std::make_unique<TAnalyzerSim>(opt);
        FSim->Start();
        OpenPort(FSim->PortName());
    }

private slots:
    void initTestCase()
    {
        SetPort(&FPort);
        Open();
    }

    void cleanupTestCase()
    {
        ClosePort();
        SetPort(nullptr);
        FSim.reset();
    }

    void passesReachTheSink_data()
    {
        QTest::addColumn<bool>("rx");
        QTest::addColumn<int>("mainPoints");
        QTest::addColumn<int>("rxPoints");
        QTest::newRow("plain") << false << 11 << 0;
        QTest::newRow("with R and X") << true << 11 << 11;
    }

    void passesReachTheSink()
    {
        QFETCH(bool, rx);
        TCollected c;
        int afterPoint = 0;
        c.Sink.AfterPoint = [&afterPoint] { ++afterPoint; };
        FSim->ClearLog();
        const int handled = FSim->CommandsHandled();
        const TSweepEnd end = RunSweep(CalibrationOf(*FSim), {1000000, 2000000, 10, TDispMode::SWR, rx, false}, c.Sink);
        QCOMPARE(end, TSweepEnd::Completed);
        QTEST(int(c.Main.size()), "mainPoints");
        QTEST(int(c.RX.size()), "rxPoints");
        QCOMPARE(afterPoint, int(c.Main.size() + c.RX.size()));
        QCOMPARE(c.Main.last(), 2000000);
        QVERIFY(FSim->WaitForCommands(handled + (rx ? 6 : 2), 2000));
        QCOMPARE(FSim->ReceivedCommands().last(), rx ? QByteArray("z0") : QByteArray("r 100000 11"));
    }

    void stopReadsThePassToItsEnd_data()
    {
        QTest::addColumn<bool>("inRXPass");
        QTest::newRow("in the plain pass") << false;
        QTest::newRow("in the R/X pass") << true;
    }

    void stopReadsThePassToItsEnd()
    {
        // The analyzer cannot be interrupted: after a stop the pass still
        // reads every reply, adds nothing, and no further pass starts. The
        // next exchange then gets its own reply, not a left-over reading.
        QFETCH(bool, inRXPass);
        TCollected c;
        c.Sink.StopRequested = [&] { return (inRXPass ? c.RX.size() : c.Main.size()) >= 3; };
        FSim->ClearLog();
        const int handled = FSim->CommandsHandled();
        const TSweepEnd end = RunSweep(CalibrationOf(*FSim), {1000000, 2000000, 20, TDispMode::SWR, true, true}, c.Sink);
        QCOMPARE(end, inRXPass ? TSweepEnd::StoppedInRXPass : TSweepEnd::StoppedInPlainPass);
        QCOMPARE(int(c.Main.size()), inRXPass ? 21 : 3);
        QCOMPARE(int(c.RX.size()), inRXPass ? 3 : 0);
        const QList<QByteArray> wire = inRXPass ? QList<QByteArray>{"f 1000000", "r 50000 21", "f 1000000", "z1", "r 50000 21", "z0"}
                                                : QList<QByteArray>{"f 1000000", "r 50000 21"};
        QVERIFY(FSim->WaitForCommands(handled + int(wire.size()), 2000));
        QCOMPARE(FSim->ReceivedCommands(), wire);
        QCOMPARE(CmdGetVersion(), QStringLiteral("SWR 1.2.150"));
        QVERIFY(!ExchangeBusy());
    }

    void hugeCountReservesNothingUpFront()
    {
        // Two billion readings asked for, three delivered before the
        // analyzer hangs up: the second pass's buffer must not have been
        // sized for the request (16 GB).
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        // Address space of 8 GB, so that a buffer sized for the request fails
        // here instead of quietly reserving pages (the sanitizers need more).
        const rlimit limit{rlim_t(8) << 30, rlim_t(8) << 30};
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_AS, &old), 0);
        QCOMPARE(setrlimit(RLIMIT_AS, &limit), 0);
        const auto restore = qScopeGuard([&old] { setrlimit(RLIMIT_AS, &old); });
#endif
        TCollected c;
        FSim->HangUpAfter(3);
        const qint32 points = std::numeric_limits<qint32>::max() - 1;
        const QString err = ErrorOf([&] {
            RunSweep(CalibrationOf(*FSim), {1000000, 2000000, points, TDispMode::SWR, true, true}, c.Sink);
        });
        QCOMPARE(err, QString::fromLatin1(kPortNotOpen));
        QCOMPARE(int(c.Main.size()), 3);
        QVERIFY(!ExchangeBusy());
        Open();
    }
};

QTEST_GUILESS_MAIN(TestSweepPasses)
#include "tst_sweep_passes.moc"
