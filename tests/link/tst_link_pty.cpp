// The link against the simulated analyzer, through a real QSerialPort on a
// pseudo-terminal.
#include "AnalyzerCommands.h"
#include "AnalyzerSim.h"
#include "ErrorOf.h"
#include "ExchangeGuard.h"
#include "RxBuf.h"
#include "SerialLink.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <memory>
#include <thread>

using namespace Vantrel;

using TAction = std::function<QString()>;
Q_DECLARE_METATYPE(TAction)

namespace {

const QString kBusy = QString::fromLatin1(kAnalyzerBusy);

QString OpenError(int code)
{
    return QStringLiteral("Unable to open com port (Error: %1)").arg(code);
}

// The readings the simulated analyzer gives for count points from start.
std::vector<qint32> Expected(const TAnalyzerSim &sim, qint32 start, qint32 step, int count, bool seriesR)
{
    std::vector<qint32> counts;
    for (int i = 0; i < count; ++i)
        counts.push_back(sim.RawCount(start + i * step, seriesR));
    return counts;
}

QList<QByteArray> Commands(std::initializer_list<const char *> texts)
{
    QList<QByteArray> list;
    for (const char *t : texts)
        list << QByteArray(t);
    return list;
}

} // namespace

class TestLinkPty : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void openFailsWithTheSystemErrorCode_data();
    void openFailsWithTheSystemErrorCode();
    void openFailsOnAPortHeldElsewhere();
    void sendsTheExactWireBytes_data();
    void sendsTheExactWireBytes();
    void fullSweepExchange_data();
    void fullSweepExchange();
    void lateReplies_data();
    void lateReplies();
    void recoversAfterGarbageAndNulBytes();
    void hangUpEndsTheExchangeAndThePortReopens();
    void portLostBetweenTwoReadingsEndsTheSweepAtOnce();
    void secondExchangeDuringAUiThreadSweepFailsAtOnce();
    void uiThreadExchangeDuringAWorkerSweepFailsAtOnce();

private:
    std::unique_ptr<TAnalyzerSim> Connect(TSimOptions options = {});
    QSerialPort FPort;
};

void TestLinkPty::initTestCase()
{
    SetPort(&FPort);
}

void TestLinkPty::cleanup()
{
    ClosePort();
    QVERIFY(!ExchangeBusy());
}

std::unique_ptr<TAnalyzerSim> TestLinkPty::Connect(TSimOptions options)
{
    auto sim = std::make_unique<TAnalyzerSim>(options);
    sim->Start();
    OpenPort(sim->PortName());
    return sim;
}

void TestLinkPty::openFailsWithTheSystemErrorCode_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::newRow("empty name") << QString() << ENOENT;
    QTest::newRow("no such device") << QStringLiteral("/dev/vantrel-no-such-port") << ENOENT;
    QTest::newRow("name under /dev") << QStringLiteral("vantrel-no-such-port") << ENOENT;
    QTest::newRow("not a terminal") << QStringLiteral("/dev/null") << ENOTTY;
}

void TestLinkPty::openFailsWithTheSystemErrorCode()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QCOMPARE(ErrorOf([&] { OpenPort(name); }), OpenError(code));
    QVERIFY(!IsPortOpen());
    QCOMPARE(ErrorOf([] { CmdSetFreq(1000000); }), QString::fromLatin1(kPortNotOpen));
    ClosePort();  // closing a closed port does nothing
    QVERIFY(!IsPortOpen());
}

void TestLinkPty::openFailsOnAPortHeldElsewhere()
{
    TAnalyzerSim sim;
    sim.Start();
    QSerialPort other(sim.PortName());
    QVERIFY(other.open(QIODevice::ReadWrite));
    QCOMPARE(ErrorOf([&] { OpenPort(sim.PortName()); }), OpenError(EBUSY));
    QVERIFY(!IsPortOpen());
    other.close();
    // Once free it opens, and a failed open earlier does no harm.
    OpenPort(sim.PortName());
    QVERIFY(IsPortOpen());
    QCOMPARE(CmdGetVersion(), QStringLiteral("SWR 1.2.150"));
}

void TestLinkPty::sendsTheExactWireBytes_data()
{
    QTest::addColumn<TAction>("action");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("result");

    auto silent = [](std::function<void()> f) { return TAction([f] { f(); return QString(); }); };
    auto sweepSize = [](qint32 step, qint32 count) {
        return TAction([=] {
            std::vector<qint32> values;
            CmdSweep(step, count, values);
            return QString::number(values.size());
        });
    };
    QTest::newRow("f") << silent([] { CmdSetFreq(1000000); }) << QByteArray("f 1000000\r") << QString();
    QTest::newRow("f negative") << silent([] { CmdSetFreq(-5); }) << QByteArray("f -5\r") << QString();
    QTest::newRow("r") << sweepSize(290000, 101) << QByteArray("r 290000 101\r") << QStringLiteral("101");
    QTest::newRow("r step 0") << sweepSize(0, 1) << QByteArray("r 0 1\r") << QStringLiteral("1");
    QTest::newRow("z1") << silent([] { CmdSeriesR(true); }) << QByteArray("z1\r") << QString();
    QTest::newRow("z0") << silent([] { CmdSeriesR(false); }) << QByteArray("z0\r") << QString();
    QTest::newRow("w, stray line discarded") << TAction([] {
        RxBuf().OnRxBuf("999\r", 4);
        return CmdGetVersion();
    }) << QByteArray("w\r") << QStringLiteral("SWR 1.2.150");
    QTest::newRow("x") << silent([] { CmdSetXtal(25003600); }) << QByteArray("x 25003600\r") << QString();
    QTest::newRow("c") << silent([] { CmdXtalCheckOn(); }) << QByteArray("c\r") << QString();
    QTest::newRow("o") << silent([] { CmdXtalCheckOff(); }) << QByteArray("o\r") << QString();
    QTest::newRow("count 0 sends nothing")
        << TAction([] { return ErrorOf([] { std::vector<qint32> v; CmdSweep(1000000, 0, v); }); })
        << QByteArray() << QString::fromLatin1(kInvalidCount);
}

void TestLinkPty::sendsTheExactWireBytes()
{
    QFETCH(TAction, action);
    QFETCH(QByteArray, wire);
    QFETCH(QString, result);
    auto sim = Connect({.Paced = false});
    QCOMPARE(action(), result);
    // Whatever else would arrive, CR ends the command line: an "o" after it
    // marks where this command's bytes stop.
    SendCmd("o");
    QVERIFY(sim->WaitForCommands(wire.isEmpty() ? 1 : 2, 3000));
    QCOMPARE(sim->ReceivedBytes(), wire + "o\r");
}

void TestLinkPty::fullSweepExchange_data()
{
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<bool>("paced");
    QTest::newRow("CR, paced") << QByteArray("\r") << true;
    QTest::newRow("CR LF, paced") << QByteArray("\r\n") << true;
    QTest::newRow("CR LF, unpaced") << QByteArray("\r\n") << false;
}

// A sweep with R shown, as the sweeps run it: f, r, f, z1, r, z0 as one
// exchange, the first pass through the reading handler, the second into an
// array.
void TestLinkPty::fullSweepExchange()
{
    QFETCH(QByteArray, lineEnd);
    QFETCH(bool, paced);
    auto sim = Connect({.Paced = paced, .LineEnd = lineEnd});
    sim->SetLoad({TSimLoadKind::Dipole});
    constexpr qint32 kStart = 6000000, kStep = 50000;
    constexpr int kCount = 41;

    std::vector<qint32> first, second;
    RxBuf().OnRxBuf("999\r", 4);  // a stray line, cleared by the sweep
    {
        TExchange sweep;
        CmdSetFreq(kStart);
        CmdSweep(kStep, kCount, [&](qint32 index, qint32 value) {
            QCOMPARE(index, qint32(first.size()));
            first.push_back(value);
            ProcessUiEvents();
        });
        CmdSetFreq(kStart);
        CmdSeriesR(true);
        QThread::msleep(100);
        CmdSweep(kStep, kCount, second);
        CmdSeriesR(false);
    }
    QCOMPARE(first, Expected(*sim, kStart, kStep, kCount, false));
    QCOMPARE(second, Expected(*sim, kStart, kStep, kCount, true));
    QVERIFY(first != second);
    QVERIFY(sim->WaitForCommands(6, 3000));
    QCOMPARE(sim->ReceivedCommands(),
             Commands({"f 6000000", "r 50000 41", "f 6000000", "z1", "r 50000 41", "z0"}));
}

void TestLinkPty::lateReplies_data()
{
    QTest::addColumn<int>("delayMs");  // of reply 2; -1 drops it
    QTest::addColumn<bool>("inTime");
    QTest::newRow("reply dropped") << -1 << false;
    QTest::newRow("reply late but within the limit") << 4000 << true;
}

// Each reply line has its own limit; after a timeout the readings so far are
// kept, the rest of the array is not written, and the next exchange works.
void TestLinkPty::lateReplies()
{
    QFETCH(int, delayMs);
    QFETCH(bool, inTime);
    auto sim = Connect({.Paced = false});
    if (delayMs < 0)
        sim->DropReplyLine(2);
    else
        sim->DelayReplyLine(2, delayMs);
    constexpr qint32 kStep = 1000000;
    std::vector<qint32> values(5, -1);
    QElapsedTimer clock;
    clock.start();
    const QString error = ErrorOf([&] { CmdSweep(kStep, 5, values); });
    const qint64 waited = clock.elapsed();
    const std::vector<qint32> expected = Expected(*sim, 1000000, kStep, 5, false);
    if (inTime) {
        QCOMPARE(error, QString());
        QCOMPARE(values, expected);
    } else {
        QCOMPARE(error, QString::fromLatin1(kReadTimeout));
        QVERIFY2(waited > kReplyTimeoutMs && waited < kReplyTimeoutMs + 1000, qPrintable(QString::number(waited)));
        // The lines after the dropped one take its place; the last slot is
        // the one that timed out.
        QCOMPARE(values, (std::vector<qint32>{expected[0], expected[1], expected[3], expected[4], -1}));
    }
    std::vector<qint32> again;
    CmdSweep(kStep, 3, again);
    QCOMPARE(again, Expected(*sim, 1000000, kStep, 3, false));
}

void TestLinkPty::recoversAfterGarbageAndNulBytes()
{
    auto sim = Connect({.Paced = false});
    sim->InjectNulBytes(true);
    sim->InjectGarbageLine(1);
    constexpr qint32 kStep = 2000000;
    std::vector<qint32> values;
    CmdSweep(kStep, 4, values);
    const std::vector<qint32> expected = Expected(*sim, 1000000, kStep, 4, false);
    // The garbage line takes a slot and reads as 0; the exchange goes on.
    QCOMPARE(values, (std::vector<qint32>{expected[0], 0, expected[1], expected[2]}));
    // The last reply is left over and lies in the receiver. It has to be
    // taken out here: were it still on its way when the next exchange clears
    // the receiver, it would count as that exchange's first reply.
    QString leftover;
    bool taken = false;  // QTRY_VERIFY evaluates once more at the end
    QTRY_VERIFY(taken || (taken = RxBuf().ReadLine(leftover)));
    QCOMPARE(leftover, QString::number(expected[3]));
    // The next exchange reads cleanly, NULs and all.
    CmdSweep(kStep, 4, values);
    QCOMPARE(values, expected);
    QCOMPARE(CmdGetVersion(), QStringLiteral("SWR 1.2.150"));
}

// The analyzer hangs up in the middle of a sweep: the port is closed, the
// waiting exchange ends at once instead of running into the timeout, and the
// port opens again afterwards.
void TestLinkPty::hangUpEndsTheExchangeAndThePortReopens()
{
    auto sim = Connect();
    QSignalSpy lost(&PortMonitor(), &TPortMonitor::ConnectionLost);
    sim->HangUpAfter(3);
    int readings = 0;
    QElapsedTimer clock;
    clock.start();
    const QString error = ErrorOf([&] { CmdSweep(1000, 20, [&](qint32, qint32) { ++readings; }); });
    QCOMPARE(error, QString::fromLatin1(kPortNotOpen));
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(readings <= 3);
    QVERIFY(!IsPortOpen());
    QCOMPARE(lost.count(), 1);
    QCOMPARE(ErrorOf([] { CmdSetFreq(1000000); }), QString::fromLatin1(kPortNotOpen));

    sim->Start();
    OpenPort(sim->PortName());
    QVERIFY(IsPortOpen());
    QCOMPARE(CmdGetVersion(), QStringLiteral("SWR 1.2.150"));
    std::vector<qint32> values;
    CmdSweep(1000, 5, values);
    QCOMPARE(values, Expected(*sim, 1000000, 1000, 5, false));
}

// The single sweep lets the UI thread handle its events between two
// readings; when the port's loss is handled there (the port closed before the
// next wait began), the next reading fails at once instead of waiting out the
// reply limit, and so does the next command.
void TestLinkPty::portLostBetweenTwoReadingsEndsTheSweepAtOnce()
{
    auto sim = Connect();
    QSignalSpy lost(&PortMonitor(), &TPortMonitor::ConnectionLost);
    sim->HangUpAfter(3);
    int readings = 0;
    bool lostInHandler = false;
    QElapsedTimer sinceLoss;
    const QString error = ErrorOf([&] {
        CmdSweep(1000, 20, [&](qint32, qint32) {
            if (++readings > 1)
                return;
            QElapsedTimer wait;
            wait.start();
            while (lost.isEmpty() && wait.elapsed() < 3000)
                ProcessUiEvents();
            lostInHandler = !lost.isEmpty();
            sinceLoss.start();
        });
    });
    QVERIFY(lostInHandler);
    QCOMPARE(error, QString::fromLatin1(kPortNotOpen));
    QVERIFY2(sinceLoss.elapsed() < 2000, qPrintable(QString::number(sinceLoss.elapsed())));
    QVERIFY(readings <= 3);
    QCOMPARE(ErrorOf([] { CmdSetFreq(1000000); }), QString::fromLatin1(kPortNotOpen));
    QCOMPARE(ErrorOf([] { RxBuf().GetLine(); }), QString::fromLatin1(kPortNotOpen));
}

// While a sweep on the UI thread waits for its replies, neither a UI event
// nor another thread gets an exchange of its own, nothing of theirs reaches
// the analyzer, and the sweep completes undisturbed.
void TestLinkPty::secondExchangeDuringAUiThreadSweepFailsAtOnce()
{
    auto sim = Connect();
    constexpr qint32 kStep = 100000;
    constexpr int kCount = 60;  // about 0.3 s at the line rate
    QString fromEvent = QStringLiteral("not run"), fromThread = QStringLiteral("not run");
    qint64 eventTook = -1, threadTook = -1;
    std::thread other;
    QTimer::singleShot(50, this, [&] {
        QElapsedTimer t;
        t.start();
        fromEvent = ErrorOf([] { CmdSetFreq(2000000); });
        eventTook = t.elapsed();
    });
    QTimer::singleShot(100, this, [&] {
        other = std::thread([&] {
            QElapsedTimer t;
            t.start();
            fromThread = ErrorOf([] { CmdGetVersion(); });
            threadTook = t.elapsed();
        });
    });
    std::vector<qint32> values;
    CmdSweep(kStep, kCount, values);
    other.join();

    QCOMPARE(fromEvent, kBusy);
    QCOMPARE(fromThread, kBusy);
    QVERIFY(eventTook >= 0 && eventTook < 50);
    QVERIFY(threadTook >= 0 && threadTook < 50);
    QCOMPARE(values, Expected(*sim, 1000000, kStep, kCount, false));
    QVERIFY(sim->WaitForCommands(1, 1000));
    QCOMPARE(sim->ReceivedCommands(), Commands({"r 100000 60"}));
}

// The repeat sweeps run on a worker: its exchange writes from the worker and
// waits there while the UI thread delivers the replies, and the UI thread
// cannot start an exchange meanwhile.
void TestLinkPty::uiThreadExchangeDuringAWorkerSweepFailsAtOnce()
{
    auto sim = Connect();
    constexpr qint32 kStart = 3000000, kStep = 100000;
    constexpr int kCount = 60;
    std::atomic<bool> done = false;
    std::vector<qint32> values;
    QString workerError = QStringLiteral("not run");
    std::thread worker([&] {
        workerError = ErrorOf([&] {
            TExchange exchange;
            CmdSetFreq(kStart);
            CmdSweep(kStep, kCount, values);
        });
        done = true;
    });
    QTRY_VERIFY(ExchangeBusy() || done);
    QCOMPARE(ErrorOf([] { CmdSeriesR(true); }), kBusy);
    QCOMPARE(ErrorOf([] { CmdGetVersion(); }), kBusy);
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
    worker.join();
    QCOMPARE(workerError, QString());
    QCOMPARE(values, Expected(*sim, kStart, kStep, kCount, false));
    QVERIFY(sim->WaitForCommands(2, 1000));
    QCOMPARE(sim->ReceivedCommands(), Commands({"f 3000000", "r 100000 60"}));
}

QTEST_GUILESS_MAIN(TestLinkPty)
#include "tst_link_pty.moc"
