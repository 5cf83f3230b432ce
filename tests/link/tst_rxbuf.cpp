#include "RxBuf.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <stdexcept>
#include <thread>

using namespace Vantrel;

namespace {

// Runs GetLine and returns the line, or the error message prefixed by "!".
QString LineOrError(TRxBuf &rx)
{
    try {
        return rx.GetLine();
    } catch (const std::runtime_error &e) {
        return QLatin1Char('!') + QString::fromLatin1(e.what());
    }
}

void Feed(TRxBuf &rx, const QByteArray &bytes)
{
    rx.OnRxBuf(bytes.constData(), qint32(bytes.size()));
}

QStringList DrainLines(TRxBuf &rx)
{
    QStringList lines;
    QString line;
    while (rx.ReadLine(line))
        lines << line;
    return lines;
}

} // namespace

class TestRxBuf : public QObject
{
    Q_OBJECT
private slots:
    void cutsChunksIntoLines_data();
    void cutsChunksIntoLines();
    void readLineLeavesLineUntouchedWhenNoneIsComplete();
    void clearingDropsOldDataAndLateBytesStartANewLine();
    void emptyingForgetsTheUnfinishedLine_data();
    void emptyingForgetsTheUnfinishedLine();
    void completeLineIsReturnedWithoutProcessingEvents();
    void lineArrivingLaterEndsTheWait_data();
    void lineArrivingLaterEndsTheWait();
    void timesOutOnlyAfterTheLimitOnBothThreads();
    void cancelEndsWaitsAtOnce();
};

void TestRxBuf::cutsChunksIntoLines_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("line split over two chunks") << QByteArrayList{"12", "3\r"} << QStringList{"123"};
    QTest::newRow("CR LF then CR") << QByteArrayList{"123\r\n456\r"} << QStringList{"123", "456"};
    QTest::newRow("only one leading LF dropped") << QByteArrayList{"\n\n7\r"} << QStringList{"\n7"};
    QTest::newRow("CR alone is an empty line") << QByteArrayList{"\r"} << QStringList{""};
    QTest::newRow("CR LF CR gives two empty lines") << QByteArrayList{"\r\n\r"} << QStringList{"", ""};
    QTest::newRow("LF of a CR LF in the next chunk") << QByteArrayList{"a\r", "\nb\r\n"} << QStringList{"a", "b"};
    QTest::newRow("LF only never completes") << QByteArrayList{"12\n", "34\n"} << QStringList{};
    QTest::newRow("partial tail waits for its CR") << QByteArrayList{"1\r2", "", "3"} << QStringList{"1"};
    QTest::newRow("many lines in one chunk") << QByteArrayList{"1\r\n2\r\n3\r\n4"} << QStringList{"1", "2", "3"};
    const QByteArray megabyte(1 << 20, 'x');
    const QString kept(kMaxLineBytes, u'x');
    QTest::newRow("4 MB without a CR keep the line's first bytes")
        << QByteArrayList{megabyte, megabyte, megabyte, megabyte, "x\r\n512\r"} << QStringList{kept, "512"};
    QTest::newRow("overlong line within a chunk, among others")
        << QByteArrayList{"1\r" + QByteArray(300, 'x') + "\r2\r"} << QStringList{"1", kept, "2"};
    QTest::newRow("line at the limit after a CR LF kept whole")
        << QByteArrayList{"1\r\n" + QByteArray(kMaxLineBytes, 'x') + "\r"} << QStringList{"1", kept};
    QTest::newRow("8-bit bytes kept") << QByteArrayList{"\xb5\xff\r"}
                                      << QStringList{QString(QChar(0xb5)) + QChar(0xff)};
}

void TestRxBuf::cutsChunksIntoLines()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QStringList, lines);
    TRxBuf rx;
    for (const QByteArray &chunk : chunks)
        Feed(rx, chunk);
    QCOMPARE(DrainLines(rx), lines);
}

void TestRxBuf::readLineLeavesLineUntouchedWhenNoneIsComplete()
{
    TRxBuf rx;
    QString line = QStringLiteral("keep");
    QVERIFY(!rx.ReadLine(line));
    Feed(rx, "partial");
    rx.OnRxBuf("\r", 0);  // a count of 0 adds nothing
    rx.OnRxBuf("\r", -1);
    QVERIFY(!rx.ReadLine(line));
    QCOMPARE(line, QStringLiteral("keep"));
}

void TestRxBuf::clearingDropsOldDataAndLateBytesStartANewLine()
{
    TRxBuf rx;
    Feed(rx, "stale\r\nold rep");
    rx.ClearBuffers();
    QString line;
    QVERIFY(!rx.ReadLine(line));
    Feed(rx, "ly\r\n512\r");
    QCOMPARE(DrainLines(rx), (QStringList{"ly", "512"}));
}

void TestRxBuf::emptyingForgetsTheUnfinishedLine_data()
{
    QTest::addColumn<bool>("discard");
    QTest::newRow("ClearBuffers") << false;
    QTest::newRow("discarding") << true;
}

// The bytes of a line cut off by emptying the buffer do not count against
// the length of the next line.
void TestRxBuf::emptyingForgetsTheUnfinishedLine()
{
    QFETCH(bool, discard);
    TRxBuf rx;
    Feed(rx, QByteArray(200, 'x'));
    if (discard) {
        rx.SetDiscarding(true);
        rx.SetDiscarding(false);
    } else {
        rx.ClearBuffers();
    }
    Feed(rx, QByteArray(kMaxLineBytes, 'y') + "\r");
    QCOMPARE(DrainLines(rx), QStringList{QString(kMaxLineBytes, u'y')});
}

void TestRxBuf::completeLineIsReturnedWithoutProcessingEvents()
{
    TRxBuf rx;
    Feed(rx, "42\r\n");
    bool eventRan = false;
    QTimer::singleShot(0, this, [&] { eventRan = true; });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(LineOrError(rx), QStringLiteral("42"));
    QVERIFY(clock.elapsed() < 100);
    QVERIFY(!eventRan);
    QTRY_VERIFY(eventRan);
}

void TestRxBuf::lineArrivingLaterEndsTheWait_data()
{
    QTest::addColumn<bool>("waitOnWorker");
    QTest::addColumn<bool>("feedFromThread");
    QTest::newRow("UI thread waits, chunk from a UI event") << false << false;
    QTest::newRow("UI thread waits, chunk from another thread") << false << true;
    QTest::newRow("worker waits, chunk from a UI event") << true << false;
}

// The wait ends promptly once the line is complete, and while the UI thread
// waits its events keep running.
void TestRxBuf::lineArrivingLaterEndsTheWait()
{
    QFETCH(bool, waitOnWorker);
    QFETCH(bool, feedFromThread);
    constexpr int kDelayMs = 200;
    TRxBuf rx;
    Feed(rx, "1");
    std::thread feeder;
    if (feedFromThread) {
        feeder = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(kDelayMs));
            Feed(rx, "23\r");
        });
    } else {
        QTimer::singleShot(kDelayMs, this, [&] { Feed(rx, "2"); });
        QTimer::singleShot(kDelayMs + 50, this, [&] { Feed(rx, "3\r"); });
    }
    QElapsedTimer clock;
    clock.start();
    QString got;
    if (waitOnWorker) {
        std::atomic<bool> done = false;
        std::thread worker([&] {
            got = LineOrError(rx);
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 3000);
        worker.join();
    } else {
        got = LineOrError(rx);
    }
    const qint64 waited = clock.elapsed();
    if (feeder.joinable())
        feeder.join();
    QCOMPARE(got, QStringLiteral("123"));
    QVERIFY2(waited >= kDelayMs - 5 && waited < kDelayMs + 1000, qPrintable(QString::number(waited)));
}

// One real 5 s wait: the UI thread and a worker each wait on a line that
// never completes, at the same time.
void TestRxBuf::timesOutOnlyAfterTheLimitOnBothThreads()
{
    TRxBuf uiRx, workerRx;
    Feed(uiRx, "1\n");
    Feed(workerRx, "2\n");
    QString workerResult;
    qint64 workerWaited = 0;
    std::thread worker([&] {
        QElapsedTimer clock;
        clock.start();
        workerResult = LineOrError(workerRx);
        workerWaited = clock.elapsed();
    });
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
    ticker.start(500);

    QElapsedTimer clock;
    clock.start();
    const QString uiResult = LineOrError(uiRx);
    const qint64 uiWaited = clock.elapsed();
    worker.join();

    const QString timeout = QLatin1Char('!') + QLatin1String(kReadTimeout);
    QCOMPARE(uiResult, timeout);
    QCOMPARE(workerResult, timeout);
    QVERIFY2(uiWaited > kReplyTimeoutMs && uiWaited < kReplyTimeoutMs + 1500, qPrintable(QString::number(uiWaited)));
    QVERIFY2(workerWaited > kReplyTimeoutMs && workerWaited < kReplyTimeoutMs + 1500,
             qPrintable(QString::number(workerWaited)));
    QVERIFY2(ticks >= 8, qPrintable(QString::number(ticks)));  // UI events ran during the wait
    // The partial line stays until the next clearing.
    Feed(uiRx, "\r");
    QCOMPARE(DrainLines(uiRx), QStringList{"1\n"});
}

void TestRxBuf::cancelEndsWaitsAtOnce()
{
    TRxBuf rx;
    QString workerResult;
    std::thread worker([&] { workerResult = LineOrError(rx); });
    QTimer::singleShot(200, this, [&] { rx.CancelWaits(); });
    QElapsedTimer clock;
    clock.start();
    const QString uiResult = LineOrError(rx);
    worker.join();
    QVERIFY(clock.elapsed() < 1500);
    const QString notOpen = QLatin1Char('!') + QLatin1String(kPortNotOpen);
    QCOMPARE(uiResult, notOpen);
    QCOMPARE(workerResult, notOpen);
    // A line already received is still handed out; without one, a wait
    // fails at once until the waits are resumed.
    Feed(rx, "5\r");
    QCOMPARE(LineOrError(rx), QStringLiteral("5"));
    clock.restart();
    QCOMPARE(LineOrError(rx), notOpen);
    QVERIFY(clock.elapsed() < 1000);
    rx.ResumeWaits();
    QTimer::singleShot(100, this, [&] { Feed(rx, "6\r"); });
    QCOMPARE(LineOrError(rx), QStringLiteral("6"));
}

QTEST_GUILESS_MAIN(TestRxBuf)
#include "tst_rxbuf.moc"
