// The repeat mode through the main window over the simulator: Start/Stop and
// what is locked meanwhile, errors shown, and closing the window mid-run.
#include "FormRig.h"
#include "SimRig.h"

#include "ExchangeGuard.h"
#include "GraphM.h"
#include "RepThread.h"
#include "TracksForm.h"

#include <QPushButton>
#include <QtTest>

class TestRepeatForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFormRig> R;

    TMainForm &OpenSimulator(bool paced)
    {
        TMainForm &f = R->Create();
        f.Analyzer.SimOptions.Paced = paced;
        R->OpenSimulator();
        if (!f.Analyzer.Simulator())
            qFatal("simulator not opened: %s", qPrintable(R->Errors.join(u'|')));
        f.CbData = CalibrationOf(*f.Analyzer.Simulator());
        f.Settings.range_points = 20;
        f.Settings.R_vis = f.Settings.X_vis = true;
        return f;
    }

    static bool WaitFor(const std::function<bool()> &done, int ms = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > ms)
                return false;
            QTest::qWait(5);
        }
        return true;
    }

private slots:
    void init() { R = std::make_unique<TFormRig>(); }
    void cleanup() { R.reset(); }

    void startLocksTheCommandsUntilStop()
    {
        TMainForm &f = OpenSimulator(false);
        f.btnStartStopClick();
        QCOMPARE(f.btnStartStop->text(), QStringLiteral("Stop"));
        QVERIFY(f.RepThread);
        for (QWidget *w : std::initializer_list<QWidget *>{f.runButton, f.newButton, f.openButton, f.btnClearAll,
                                                           f.btnKeepLast, f.btnDispMode, f.calibrationButton})
            QVERIFY(!w->isEnabled());
        QVERIFY(f.btnStartStop->isEnabled());
        QVERIFY(WaitFor([&] { return f.GraphM->Curves()->Count() >= 15; }));

        // Refused when reached anyway: no exchange, no change of the tracks.
        f.RunClick();
        f.btnClearAllClick();
        f.TracksForm()->ClearClick();
        f.OpenClick();
        QVERIFY(f.Analyzer.IsOpen());
        QVERIFY(f.GraphM->Curves()->Count() >= 12);

        f.btnStartStopClick();
        QVERIFY(!f.RepThread);
        QCOMPARE(f.btnStartStop->text(), QStringLiteral("Start"));
        QVERIFY(f.runButton->isEnabled());
        QVERIFY(!Vantrel::ExchangeBusy());
        const int n = f.GraphM->Curves()->Count();
        QVERIFY(n == 12 || n == 15);
        QVERIFY(R->Errors.isEmpty());
        // The analyzer answers the next command with its own reply.
        f.NewClick();
        QVERIFY2(R->Errors.isEmpty(), qPrintable(R->Errors.join(u'|')));
        QCOMPARE(f.GraphM->Curves()->Items(f.GraphM->Curves()->Count() - 3)->Count(), 21);
    }

    void anErrorIsShownAndStartComesBack()
    {
        TMainForm &f = OpenSimulator(true);
        f.btnStartStopClick();
        QVERIFY(WaitFor([&] { return f.GraphM->Curves()->Count() > 0 && f.GraphM->Curves()->Items(0)->Count() > 2; }));
        f.Analyzer.Simulator()->Stop(); // the analyzer hangs up
        QVERIFY(WaitFor([&] { return !f.RepThread; }, 7000));
        QCOMPARE(R->Errors, QStringList{QStringLiteral("Port Not Open")});
        QCOMPARE(f.btnStartStop->text(), QStringLiteral("Start"));
        QVERIFY(f.btnClearAll->isEnabled());
        QVERIFY(f.GraphM->Curves()->Items(0)->Count() > 2); // what was drawn stays
    }

    void closingTheWindowStopsTheWorker()
    {
        TMainForm &f = OpenSimulator(true);
        f.show();
        f.btnStartStopClick();
        QVERIFY(WaitFor([&] { return f.GraphM->Curves()->Count() > 0 && f.GraphM->Curves()->Items(0)->Count() > 2; }));
        QVERIFY(f.close());
        QVERIFY(!f.RepThread);
        QVERIFY(!Vantrel::ExchangeBusy());
        QVERIFY(R->Errors.isEmpty());
    }
};

QTEST_MAIN(TestRepeatForm)
#include "TestRepeatForm.moc"
