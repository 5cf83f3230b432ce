// Opening, identifying and closing the analyzer without a window, over the
// built-in simulator's pseudo-terminal.
#include "AnalyzerConnection.h"
#include "AnalyzerSim.h"
#include "SerialLink.h"

#include <QSerialPort>
#include <QtTest>

using namespace Vantrel;

class TestAnalyzerConnection : public QObject
{
    Q_OBJECT

    QSerialPort FPort;

private slots:
    void initTestCase() { SetPort(&FPort); }
    void cleanupTestCase() { SetPort(nullptr); }

    void identifies_data()
    {
        QTest::addColumn<QByteArray>("firmware");
        QTest::addColumn<bool>("liteBefore");
        QTest::addColumn<qint32>("xtal");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("maxFreq");
        QTest::addColumn<bool>("lite");
        QTest::addColumn<QList<QByteArray>>("wire");
        QTest::newRow("full, crystal sent") << QByteArray("SWR 1.2.150") << true << 25000000 << "1.2.150" << 150000000
                                            << false << QList<QByteArray>{"w", "x 25000000"};
        QTest::newRow("lite, no crystal") << QByteArray("1.0.60.lite") << false << 0 << "1.0.60.lite" << 60000000
                                          << true << QList<QByteArray>{"w"};
        QTest::newRow("two fields keep Lite") << QByteArray("1.2") << true << 0 << "1.2" << 150000000 << true
                                              << QList<QByteArray>{"w"};
    }

    void identifies()
    {
        QFETCH(QByteArray, firmware);
        QFETCH(bool, liteBefore);
        QFETCH(qint32, xtal);
        TAnalyzerConnection a;
        a.SimOptions.Paced = false;
        a.SimOptions.Firmware = firmware;
        a.Lite = liteBefore;
        const TFirmwareId id = a.Open(TAnalyzerConnection::kSimulatorEntry, xtal);
        QTEST(id.Id, "id");
        QTEST(int(a.MaxFreq), "maxFreq");
        QTEST(a.Lite, "lite");
        QVERIFY(a.IsOpen());
        QVERIFY(a.Simulator());
        QFETCH(QList<QByteArray>, wire);
        QVERIFY(a.Simulator()->WaitForCommands(int(wire.size()), 2000));
        QCOMPARE(a.Simulator()->ReceivedCommands(), wire);

        a.Close();
        QVERIFY(!a.IsOpen());
        QVERIFY(!a.Simulator());
        QTEST(int(a.MaxFreq), "maxFreq"); // what was identified stays known
    }

    void reopeningClosesFirst()
    {
        TSimOptions opt;
        opt.Paced = false;
        TAnalyzerSim other(opt);
        other.Start();
        TAnalyzerConnection a;
        a.SimOptions.Paced = false;
        a.Open(TAnalyzerConnection::kSimulatorEntry, 0);
        a.Open(other.PortName(), 0);
        QVERIFY(!a.Simulator());
        QVERIFY(a.IsOpen());
        QVERIFY(other.WaitForCommands(1, 2000));
    }

    void failedOpenLeavesItClosed()
    {
        TAnalyzerConnection a;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, a.Open(QStringLiteral("/dev/vantrel-no-such-port"), 0));
        QVERIFY(!a.IsOpen());
        QVERIFY(!a.Simulator());
    }
};

QTEST_GUILESS_MAIN(TestAnalyzerConnection)
#include "TestAnalyzerConnection.moc"
