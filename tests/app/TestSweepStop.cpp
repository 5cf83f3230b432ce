// Stopping a single sweep: control comes back at once with the points read
// so far; the rest of the analyzer's reply is dropped, never taken for the
// reply to a later command; "z0" follows a started R/X pass once the
// analyzer is quiet; closing the window or the port ends the wait.
#include "FormRig.h"
#include "SimRig.h"

#include "ExchangeGuard.h"
#include "GraphM.h"
#include "ReplyDrain.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestSweepStop : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFormRig> R;

    TMainForm &OpenPaced(int points, bool rx)
    {
        TMainForm &f = R->Create();
        f.Analyzer.SimOptions.Paced = true;
        R->OpenSimulator();
        f.CbData = CalibrationOf(*f.Analyzer.Simulator());
        f.Settings.range_points = points;
        f.Settings.R_vis = f.Settings.X_vis = rx;
        f.show();
        return f;
    }

    // Presses Escape once the curve `curve` of the newest track holds
    // `after` points; returns when it was pressed.
    QElapsedTimer *EscapeAfter(TMainForm &f, int curve, int after, QTimer &poll, QElapsedTimer &pressed)
    {
        poll.setInterval(1);
        connect(&poll, &QTimer::timeout, this, [&f, curve, after, &poll, &pressed] {
            TCurves &c = *f.GraphM->Curves();
            if (c.Count() <= curve || c.Items(curve)->Count() < after)
                return;
            poll.stop();
            pressed.start();
            QTest::keyClick(&f, Qt::Key_Escape);
        });
        poll.start();
        return &pressed;
    }

private slots:
    void init() { R = std::make_unique<TFormRig>(); }
    void cleanup()
    {
        QVERIFY2(R->Errors.isEmpty() || QTest::currentTestFailed(), qPrintable(R->Errors.join(u'|')));
        R.reset();
        QTRY_VERIFY(!Vantrel::ReplyDraining());
    }

    void escapeStopsAndTheNextSweepWaitsForQuiet_data()
    {
        QTest::addColumn<bool>("rx");
        QTest::addColumn<int>("curve");
        QTest::newRow("plain pass") << false << 0;
        QTest::newRow("R/X pass") << true << 1;
    }

    void escapeStopsAndTheNextSweepWaitsForQuiet()
    {
        QFETCH(bool, rx);
        QFETCH(int, curve);
        TMainForm &f = OpenPaced(200, rx);
        TAnalyzerSim &sim = *f.Analyzer.Simulator();
        sim.SetLoad(TSimLoad{TSimLoadKind::Ohm100, 0, 0});
        QTimer poll;
        QElapsedTimer pressed;
        EscapeAfter(f, curve, 5, poll, pressed);
        sim.ClearLog();
        f.NewClick();

        // Back at once, well before the analyzer's 200-line reply (about a
        // second on the line) has ended.
        QVERIFY(pressed.isValid());
        QVERIFY2(pressed.elapsed() < 300, qPrintable(QString::number(pressed.elapsed())));
        const int kept = f.GraphM->Curves()->Items(curve)->Count();
        QVERIFY(kept >= 5 && kept < 201);
        QVERIFY(f.newButton->isEnabled());
        QCOMPARE(f.newButton->text(), QStringLiteral("New"));
        QVERIFY(!f.IsBusy());
        QVERIFY(Vantrel::ReplyDraining());
        QVERIFY(f.drainLabel->isVisible());

        // The next sweep starts once the analyzer is quiet: its readings are
        // its own (the 100 ohm load's), and "z0" came before it.
        f.Settings.range_points = 20;
        f.Settings.R_vis = f.Settings.X_vis = false;
        f.NewClick();
        QVERIFY(!f.drainLabel->isVisible());
        const QList<QByteArray> wire = sim.ReceivedCommands();
        QList<QByteArray> first{"f 1000000", "r 145000 201"};
        if (rx)
            first << "f 1000000" << "z1" << "r 145000 201" << "z0";
        first << "f 1000000" << "r 1450000 21";
        QCOMPARE(wire, first);
        const TCurve &next = *f.GraphM->Curves()->Items(f.GraphM->Curves()->Count() - 1);
        CheckMainCurve(next, sim, 0, 1000000, 1450000, 21);
    }

    void closingTheWindowStopsTheSweep()
    {
        TMainForm &f = OpenPaced(400, false);
        QTimer poll;
        QElapsedTimer pressed;
        poll.setInterval(1);
        connect(&poll, &QTimer::timeout, this, [&] {
            if (f.GraphM->Curves()->Count() && f.GraphM->Curves()->Items(0)->Count() >= 3) {
                poll.stop();
                pressed.start();
                f.close();
            }
        });
        poll.start();
        f.NewClick();
        QVERIFY(pressed.elapsed() < 300);
        QTRY_VERIFY_WITH_TIMEOUT(!f.isVisible(), 1000);
        QVERIFY(!Vantrel::ExchangeBusy());
    }

    void closingThePortEndsTheWait()
    {
        TMainForm &f = OpenPaced(400, true);
        QTimer poll;
        QElapsedTimer pressed;
        EscapeAfter(f, 0, 3, poll, pressed);
        f.NewClick();
        QVERIFY(Vantrel::ReplyDraining());
        f.OpenClick(); // Close
        QVERIFY(!f.Analyzer.IsOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!Vantrel::ReplyDraining(), 500);
        QVERIFY(!f.drainLabel->isVisible());
    }
};

QTEST_MAIN(TestSweepStop)
#include "TestSweepStop.moc"
