// The single sweep against the simulated analyzer over its pseudo-terminal:
// wire sequence, frequencies, and curve values against the simulated load.
#include "SimRig.h"

#include "AnalyzerCommands.h"
#include "ExchangeGuard.h"
#include "GraphM.h"
#include "ErrorOf.h"
#include "FloatChecks.h"
#include "RxBuf.h"
#include "SerialLink.h"
#include "Sweep.h"
#include "TrackSweep.h"
#include "Tracks.h"

#include <QSerialPort>
#include <QtTest>

using namespace Vantrel;

class TestSweep : public QObject
{
    Q_OBJECT

    QSerialPort FPort;
    std::unique_ptr<TAnalyzerSim> FSim;

private slots:
    void initTestCase()
    {
        TSimOptions opt;
        opt.Paced = false;
        FSim = std::make_unique<TAnalyzerSim>(opt);
        FSim->Start();
        SetPort(&FPort);
        OpenPort(FSim->PortName());
    }

    void cleanupTestCase()
    {
        ClosePort();
        SetPort(nullptr);
        FSim.reset();
    }

    void stepRounding_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("stop");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("step");
        QTest::newRow("default range") << 1000000 << 30000000 << 100 << 290000;
        QTest::newRow("2.5 to 2") << 1000000 << 1000005 << 2 << 2;
        QTest::newRow("3.5 to 4") << 1000000 << 1000007 << 2 << 4;
        QTest::newRow("-2.5 to -2") << 1000005 << 1000000 << 2 << -2;
        QTest::newRow("start = stop") << 5000000 << 5000000 << 10 << 0;
        QTest::newRow("no overflow of the span") << -2000000000 << 2000000000 << 1 << 2147483647;
    }

    void stepRounding()
    {
        QFETCH(int, start);
        QFETCH(int, stop);
        QFETCH(int, points);
        QTEST(int(SweepStep(start, stop, points)), "step");
    }

    void zeroIntervalsFail()
    {
        QCOMPARE(ErrorOf([] { SweepStep(1000000, 2000000, 0); }), QString::fromLatin1(kFloatDivByZero));
        QCOMPARE(ErrorOf([] { SweepStep(1000000, 1000000, 0); }), QString::fromLatin1(kFloatInvalidOp));
    }

    void sweepIntoTrack_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("rv");
        QTest::addColumn<bool>("xv");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("stop");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("load");
        QTest::newRow("swr, R and X, dipole") << 0 << true << true << 1000000 << 30000000 << 100 << int(TSimLoadKind::Dipole);
        QTest::newRow("gamma, plain") << 1 << false << false << 3000000 << 12000000 << 30 << int(TSimLoadKind::Dipole);
        QTest::newRow("return loss, 100 ohm") << 2 << false << false << 1000000 << 50000000 << 20 << int(TSimLoadKind::Ohm100);
        QTest::newRow("only X") << 0 << false << true << 6000000 << 8000000 << 20 << int(TSimLoadKind::Dipole);
        QTest::newRow("only R") << 0 << true << false << 6000000 << 8000000 << 20 << int(TSimLoadKind::Dipole);
        QTest::newRow("5 Hz in 2 intervals") << 0 << true << false << 7100000 << 7100005 << 2 << int(TSimLoadKind::Dipole);
        QTest::newRow("start = stop") << 0 << false << false << 7100000 << 7100000 << 10 << int(TSimLoadKind::Ohm50);
    }

    void sweepIntoTrack()
    {
        QFETCH(int, mode);
        QFETCH(bool, rv);
        QFETCH(bool, xv);
        QFETCH(int, start);
        QFETCH(int, stop);
        QFETCH(int, points);
        QFETCH(int, load);
        FSim->SetLoad(TSimLoad{TSimLoadKind(load), 0, 0});
        const TCalibrationData cb = CalibrationOf(*FSim);

        TGraphM graph;
        for (int i = 0; i < CurvesPerTrack(rv, xv) + 1; ++i) // an older curve, then the track
            graph.Curves()->Add();
        graph.SetScaleXY(300);
        FSim->ClearLog();
        const int handled = FSim->CommandsHandled();
        MeasureTrack(graph, cb, TSweepSettings{start, stop, points, TDispMode(mode), rv, xv});

        const qint32 step = SweepStep(start, stop, points);
        const QByteArray f = "f " + QByteArray::number(start);
        const QByteArray r = "r " + QByteArray::number(step) + ' ' + QByteArray::number(points + 1);
        QList<QByteArray> wire{f, r};
        if (rv || xv)
            wire << f << "z1" << r << "z0";
        QVERIFY(FSim->WaitForCommands(handled + int(wire.size()), 2000));
        QCOMPARE(FSim->ReceivedCommands(), wire);

        QCOMPARE(graph.ScaleX(), 100);
        QCOMPARE(graph.MinXValue(), double(start));
        QCOMPARE(graph.MaxXValue(), double(stop));
        QCOMPARE(graph.Curves()->Items(0)->Count(), 0);
        CheckMainCurve(*graph.Curves()->Items(1), *FSim, mode, start, step, points + 1);
        if (rv)
            CheckRXCurve(*graph.Curves()->Items(2), *FSim, true, start, step, points + 1);
        if (xv)
            CheckRXCurve(*graph.Curves()->Items(rv ? 3 : 2), *FSim, false, start, step, points + 1);
        if (mode == 2)
            for (int i = 0; i <= points; ++i)
                QVERIFY(graph.Curves()->Items(1)->Points(i).Y <= 0);
    }

    void rxPassTimeoutStillSendsZ0()
    {
        FSim->SetLoad(TSimLoad{TSimLoadKind::Ohm50, 0, 0});
        TGraphM graph;
        for (int i = 0; i < 3; ++i)
            graph.Curves()->Add();
        TCurve *main = graph.Curves()->Items(0);
        // Arms the fault once the plain pass is complete, so it hits the R/X pass.
        QTimer arm;
        arm.setInterval(0);
        connect(&arm, &QTimer::timeout, this, [&] {
            if (main->Count() == 11) {
                FSim->DropReplyLine(4);
                arm.stop();
            }
        });
        arm.start();
        FSim->ClearLog();
        const int handled = FSim->CommandsHandled();
        const QString err = ErrorOf([&] {
            MeasureTrack(graph, CalibrationOf(*FSim), TSweepSettings{1000000, 2000000, 10, TDispMode::SWR, true, true});
        });
        QCOMPARE(err, QString::fromLatin1(kReadTimeout));
        QCOMPARE(main->Count(), 11);
        // One reply of eleven never came: the last wait timed out.
        QCOMPARE(graph.Curves()->Items(1)->Count(), 10);
        QCOMPARE(graph.Curves()->Items(2)->Count(), 10);
        QVERIFY(FSim->WaitForCommands(handled + 6, 2000));
        QCOMPARE(FSim->ReceivedCommands().last(), QByteArray("z0"));
        QVERIFY(!ExchangeBusy());
    }

    void negativeIntervalsFailAsABadCount()
    {
        // Must not size the return-loss buffer from a negative count.
        TGraphM graph;
        for (int i = 0; i < 3; ++i)
            graph.Curves()->Add();
        const QString err = ErrorOf([&] {
            MeasureTrack(graph, CalibrationOf(*FSim), TSweepSettings{1000000, 2000000, -5, TDispMode::SWR, true, true});
        });
        QCOMPARE(err, QString::fromLatin1(kInvalidCount));
        QCOMPARE(graph.Curves()->Items(0)->Count(), 0);
        QVERIFY(!ExchangeBusy());
    }

    void failuresKeepPoints()
    {
        // 151 MHz has no calibration: the sweep stops at that point.
        TGraphM graph;
        graph.Curves()->Add();
        const QString err = ErrorOf([&] {
            MeasureTrack(graph, CalibrationOf(*FSim), TSweepSettings{149000000, 152000000, 3, TDispMode::SWR, false, false});
        });
        QCOMPARE(err, QStringLiteral("Exceed max freq limit"));
        QCOMPARE(graph.Curves()->Items(0)->Count(), 2);
    }
};

QTEST_MAIN(TestSweep)
#include "TestSweep.moc"
