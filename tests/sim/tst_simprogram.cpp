// The vantrel-sim program: prints its port, serves it, and ends cleanly.

#include "PtyClient.h"
#include "SimModel.h"

#include <QProcess>
#include <QtTest>

class TestSimProgram : public QObject {
    Q_OBJECT
private slots:
    void servesUntilTold_data()
    {
        QTest::addColumn<bool>("bySignal");
        QTest::newRow("standard input closed") << false;
        QTest::newRow("SIGTERM") << true;
    }

    void servesUntilTold()
    {
        QFETCH(bool, bySignal);
        QProcess sim;
        sim.start(VANTREL_SIM_EXE, {"--unpaced", "--load", "100", "--firmware", "1.0.60.lite", "--crlf"});
        QVERIFY(sim.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 5000);
        const QString port = QString::fromLocal8Bit(sim.readLine()).trimmed();
        TPtyClient client(port);
        QVERIFY2(client.IsOpen(), qPrintable(port));

        client.Send("w");
        QCOMPARE(client.ReadLine(2000), std::optional<QByteArray>("1.0.60.lite"));
        client.Send("f 1000000");
        client.Send("r 0 1");
        const int expected = SimModel::RawCount({TSimLoadKind::Ohm100}, 1000000, false, 60);
        QCOMPARE(client.ReadLine(2000), std::optional<QByteArray>(QByteArray::number(expected)));

        if (bySignal)
            sim.terminate();
        else
            sim.closeWriteChannel();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(client.WaitHangUp(2000));
    }

    void rejectsUnknownLoad()
    {
        QProcess sim;
        sim.start(VANTREL_SIM_EXE, {"--load", "antenna"});
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardError().contains("antenna"));
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimProgram)
#include "tst_simprogram.moc"
