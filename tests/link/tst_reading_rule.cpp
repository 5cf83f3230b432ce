#include "AnalyzerCommands.h"
#include "ErrorOf.h"
#include "RxBuf.h"
#include "SerialLink.h"

#include <QtTest>

#include <functional>

using namespace Vantrel;

// The reading rule, and the checks that fail before anything reaches a port.
class TestReadingRule : public QObject
{
    Q_OBJECT
private slots:
    void readsALine_data();
    void readsALine();
    void invalidCountFailsFirstAndTouchesNothing_data();
    void invalidCountFailsFirstAndTouchesNothing();
    void closedPortFailsEveryCommand();
};

void TestReadingRule::readsALine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<qint32>("value");
    QTest::newRow("plain") << "512" << 512;
    QTest::newRow("leading spaces") << "  512" << 512;
    QTest::newRow("trailing space") << "512 " << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("spaces only") << "   " << 0;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("sign alone") << "-" << 0;
    QTest::newRow("space after sign") << "- 3" << 0;
    QTest::newRow("letters") << "12a" << 0;
    QTest::newRow("leading LF is not a space") << "\n512" << 0;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << qint32(-2147483647 - 1);
    QTest::newRow("above 32 bits") << "2147483648" << 0;
    QTest::newRow("below 32 bits") << "-2147483649" << 0;
    QTest::newRow("far out of range") << "99999999999999999999" << 0;
}

void TestReadingRule::readsALine()
{
    QFETCH(QString, line);
    QFETCH(qint32, value);
    QCOMPARE(ReadingFromLine(line), value);
}

void TestReadingRule::invalidCountFailsFirstAndTouchesNothing_data()
{
    QTest::addColumn<qint32>("count");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -5;
}

// The count is checked before the receiver is cleared, before the closed
// port is noticed and before the array is resized.
void TestReadingRule::invalidCountFailsFirstAndTouchesNothing()
{
    QFETCH(qint32, count);
    RxBuf().ClearBuffers();
    RxBuf().OnRxBuf("7\r", 2);
    std::vector<qint32> values{1, 2, 3};
    bool handlerCalled = false;
    const QString invalid = QString::fromLatin1(kInvalidCount);
    QCOMPARE(ErrorOf([&] { CmdSweep(1000000, count, values); }), invalid);
    QCOMPARE(ErrorOf([&] { CmdSweep(0, count, [&](qint32, qint32) { handlerCalled = true; }); }), invalid);
    QCOMPARE(values, (std::vector<qint32>{1, 2, 3}));
    QVERIFY(!handlerCalled);
    QString line;
    QVERIFY(RxBuf().ReadLine(line));
    QCOMPARE(line, QStringLiteral("7"));
}

void TestReadingRule::closedPortFailsEveryCommand()
{
    QVERIFY(!IsPortOpen());
    std::vector<qint32> values{9};
    const std::function<void()> commands[] = {
        [] { CmdXtalCheckOn(); },
        [] { CmdXtalCheckOff(); },
        [] { CmdSetXtal(25000000); },
        [] { CmdSeriesR(true); },
        [] { CmdSetFreq(1000000); },
        [&] { CmdSweep(1000, 2, values); },
        [] { CmdGetVersion(); },
    };
    for (const auto &command : commands)
        QCOMPARE(ErrorOf(command), QString::fromLatin1(kPortNotOpen));
    QCOMPARE(values, std::vector<qint32>{9});  // not resized: nothing was sent
}

QTEST_GUILESS_MAIN(TestReadingRule)
#include "tst_reading_rule.moc"
