// Calibration through the main window on the simulated analyzer: which
// windows the dialog and its progress window leave usable, what reaches the
// main window's record and the file, and a calibration carried through to
// true sweeps of known loads.
#include "FormRig.h"
#include "SimRig.h"

#include "CalibrationForm.h"
#include "CalibrationSteps.h"
#include "GraphM.h"
#include "ProgressDlg.h"
#include "RepThread.h"
#include "SimLoadForm.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QLineEdit>
#include <QtTest>

#include <functional>

using namespace Vantrel;

namespace {

// A click through the window system, where modal windows block input; near
// the left edge, where a radio button's mark is.
void ClickThroughWindow(QWidget *w)
{
    const QPoint at(std::min(8, w->width() / 2), w->height() / 2);
    QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, {}, w->mapTo(w->window(), at));
}

QRadioButton *LoadEntry(TfrmSimLoad *form, const char *caption)
{
    for (QRadioButton *b : form->findChildren<QRadioButton *>())
        if (b->text() == QString::fromUtf8(caption))
            return b;
    qFatal("no load entry %s", caption);
}

// The return loss a reading of the load at hz stands for, before it is
// counted: the model's truth, held up by the detector's floor.
double TrueReadingRL(const TAnalyzerSim &sim, double hz, bool seriesR)
{
    const std::complex<double> z = sim.LoadImpedance(hz) + (seriesR ? SimModel::kSeriesOhm : 0.0);
    const double floorRL = (SimModel::kCountFloor - sim.OpenLevel(FreqToIndex(qint32(hz)))) * sim.Slope();
    return std::clamp(TrueRL(z), floorRL, 0.0);
}

// How far a measured return loss may lie from the truth: a count is rounded
// (one calibrated slope step, with the open level's own rounding), and the
// calibrated slope carries step 2's rounding, half a count in the counts
// between the open and the 100 ohm reading, which grows with the distance
// from the open level.
double RLTolerance(const TCalibrationData &cb, double rl)
{
    const double step2Counts = kLoad100ReturnLoss / cb.Slope;
    return cb.Slope + std::abs(rl) * 0.5 / step2Counts;
}

struct TRange
{
    double Lo = 1e300, Hi = -1e300;
    void Add(double v) { Lo = std::min(Lo, v), Hi = std::max(Hi, v); }
    bool Holds(double v) const { return v >= Lo - 1e-9 && v <= Hi + 1e-9; }
};

// The newest track (SWR, R, X) against the load's true values, within what
// the quantisation of the counts and of the calibration allows: every pair
// of return losses within tolerance of the truth is tried.
void CheckTrack(const TCurves &curves, const TAnalyzerSim &sim, const TCalibrationData &cb)
{
    const int n = curves.Count();
    const TCurve &swr = *curves.Items(n - 3), &r = *curves.Items(n - 2), &x = *curves.Items(n - 1);
    QVERIFY(swr.Count() > 0);
    for (int i = 0; i < swr.Count(); ++i) {
        const double hz = swr.Points(i).X;
        const double rl0 = TrueReadingRL(sim, hz, false), rl1 = TrueReadingRL(sim, hz, true);
        const double e0 = RLTolerance(cb, rl0), e1 = RLTolerance(cb, rl1);
        TRange swrRange, rRange, xRange;
        constexpr int kGrid = 8;
        for (int a = 0; a <= kGrid; ++a) {
            const double p0 = std::min(0.0, rl0 - e0 + 2 * e0 * a / kGrid);
            swrRange.Add(RLToSWR(p0));
            for (int b = 0; b <= kGrid; ++b) {
                const TRX rx = CalcRX(p0, std::min(0.0, rl1 - e1 + 2 * e1 * b / kGrid));
                rRange.Add(rx.R);
                xRange.Add(rx.X);
            }
        }
        const struct {
            const char *Name;
            double Value;
            TRange Range;
        } checks[] = {{"SWR", swr.Points(i).Y, swrRange}, {"R", r.Points(i).Y, rRange}, {"X", x.Points(i).Y, xRange}};
        for (const auto &c : checks)
            if (!c.Range.Holds(c.Value))
                QFAIL(qPrintable(QStringLiteral("%1 at %2 Hz: %3 outside %4 .. %5")
                                     .arg(QLatin1String(c.Name)).arg(hz).arg(c.Value).arg(c.Range.Lo).arg(c.Range.Hi)));
    }
}

QByteArray FileText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestCalibration : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFormRig> R;

    TMainForm &Opened()
    {
        TMainForm &f = R->Create();
        R->OpenSimulator();
        if (!f.Analyzer.Simulator())
            qFatal("simulator not opened: %s", qPrintable(R->Errors.join(u'|')));
        return f;
    }

    // Opens the dialog from the Calibration button and runs `inside` while
    // it is up; the dialog must be closed by then.
    static void WithDialog(TMainForm &f, const std::function<void(TfrmCalibration &)> &inside)
    {
        bool ran = false;
        QTimer::singleShot(0, &f, [&] {
            ran = true;
            inside(*f.CalibrationForm());
            if (f.CalibrationForm()->isVisible()) {
                QTest::qFail("the dialog is still open", __FILE__, __LINE__);
                f.CalibrationForm()->reject();
            }
        });
        f.CalibrationClick();
        QVERIFY(ran);
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { R = std::make_unique<TFormRig>(); }
    void cleanup()
    {
        QVERIFY2(R->Errors.isEmpty() || QTest::currentTestFailed(), qPrintable(R->Errors.join(u'|')));
        R.reset();
        QVERIFY(!ProgressDlg());
    }

    // The dialog blocks the main window but not the simulated-load window;
    // step 1's progress window blocks both, and the dialog as well.
    void modality()
    {
        TMainForm &f = Opened();
        f.show();
        TfrmSimLoad *loads = f.SimLoadForm();
        QVERIFY(QTest::qWaitForWindowExposed(loads));
        TAnalyzerSim &sim = *f.Analyzer.Simulator();
        sim.ClearLog();
        const int handled = sim.CommandsHandled();

        bool duringStep1 = false;
        QTimer meddler;
        meddler.setInterval(0);
        connect(&meddler, &QTimer::timeout, this, [&] {
            if (!ProgressDlg())
                return;
            meddler.stop();
            duringStep1 = true;
            QCOMPARE(QApplication::activeModalWidget(), ProgressDlg());
            ClickThroughWindow(LoadEntry(loads, "Short"));
            ClickThroughWindow(f.newButton);
        });

        WithDialog(f, [&](TfrmCalibration &d) {
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QCOMPARE(QApplication::activeModalWidget(), &d);
            ClickThroughWindow(LoadEntry(loads, "100 \u03a9"));
            QCOMPARE(sim.Load().Kind, TSimLoadKind::Ohm100);
            ClickThroughWindow(f.newButton);
            QCOMPARE(f.GraphM->Curves()->Count(), 0);

            ClickThroughWindow(LoadEntry(loads, "Open (nothing connected)"));
            meddler.start();
            ClickThroughWindow(d.btnStep1);
            QVERIFY(duringStep1);
            QCOMPARE(sim.Load().Kind, TSimLoadKind::Open);
            QCOMPARE(f.GraphM->Curves()->Count(), 0);
            QCOMPARE(d.btnStep1->text(), QStringLiteral("OK"));

            ClickThroughWindow(LoadEntry(loads, "50 \u03a9"));
            QCOMPARE(sim.Load().Kind, TSimLoadKind::Ohm50);
            ClickThroughWindow(d.btnCancel);
        });
        QCOMPARE(WireAfter(sim, handled, 3), Commands({"f 1000000", "r 1000000 150", "o"}));
    }

    // The dialog would talk to the analyzer under the repeat mode's worker:
    // the button is off and the handler refuses while it runs.
    void refusedWhileRepeating()
    {
        TMainForm &f = Opened();
        f.btnStartStopClick();
        QVERIFY(f.RepThread);
        QVERIFY(!f.calibrationButton->isEnabled());
        f.CalibrationClick(); // refused: it would wait for the dialog right here
        QVERIFY(!f.CalibrationForm()->isVisible());
        f.btnStartStopClick();
        QVERIFY(!f.RepThread);
        QVERIFY(f.calibrationButton->isEnabled());
    }

    // Calibrate through the dialog, save, start afresh on the file, and
    // sweep loads of known impedance: SWR, R and |X| come out true.
    void calibrateThenSweep()
    {
        TMainForm &f = Opened();
        TAnalyzerSim &sim = *f.Analyzer.Simulator();
        sim.ClearLog();
        const int handled = sim.CommandsHandled();
        WithDialog(f, [&](TfrmCalibration &d) {
            f.SimLoadForm()->Choose(TSimLoadKind::Open);
            d.btnStep1Click();
            f.SimLoadForm()->Choose(TSimLoadKind::Ohm100);
            d.btnStep2Click();
            d.pageControl->setCurrentWidget(d.sheetXtalCalibration);
            d.edXtalFreq->setText(QStringLiteral("25003600"));
            d.btnXtalFreqClick();
            d.btnSaveClick();
        });
        QCOMPARE(WireAfter(sim, handled, 8), Commands({"f 1000000", "r 1000000 150", "f 1000000", "r 0 1", "c", "o", "o",
                                         "x 25003600"}));
        QCOMPARE(sim.XtalFreq(), 25003600);
        const TCalibrationData saved = f.CbData;
        QCOMPARE(saved.XTalFreq, 25003600);
        QCOMPARE(saved.ZeroLevel[149], sim.OpenLevel(150));
        QVERIFY(saved.Slope > 0);

        R->Form.reset();
        TMainForm &g = Opened();
        QCOMPARE(g.CbData.ZeroLevel, saved.ZeroLevel);
        QCOMPARE(g.CbData.XTalFreq, saved.XTalFreq);
        QCOMPARE(g.CbData.Slope, saved.Slope); // to 15 significant digits
        TAnalyzerSim &sim2 = *g.Analyzer.Simulator();
        g.xCurveAction->trigger();
        g.rCurveAction->trigger();
        const TSimLoad loads[] = {{TSimLoadKind::Ohm50, 0, 0}, {TSimLoadKind::Ohm100, 0, 0},
                                  {TSimLoadKind::Fixed, 40, 25}};
        for (const TSimLoad &load : loads) {
            sim2.SetLoad(load);
            g.NewClick();
            CheckTrack(*g.GraphM->Curves(), sim2, g.CbData);
            if (QTest::currentTestFailed())
                return;
        }
        const TCurve &swr100 = *g.GraphM->Curves()->Items(3);
        for (int i = 0; i < swr100.Count(); ++i)
            QCOMPARE(qRound(swr100.Points(i).Y * 100), 200);
    }

    // Nothing reaches the main window or the file without a successful Save.
    void unsavedChangesStayInTheDialog_data()
    {
        QTest::addColumn<int>("hangUpAfter"); // -1: the analyzer stays
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("cancel after step 1") << -1 << QStringList();
        QTest::newRow("step 1 fails part-way, then cancel")
            << 10 << QStringList{"Port Not Open", "Port Not Open"}; // the step's, then the closing "o"'s
    }

    void unsavedChangesStayInTheDialog()
    {
        QFETCH(int, hangUpAfter);
        TCalibrationData old;
        old.ZeroLevel.fill(1234);
        old.Slope = 0.02;
        old.SaveToFile(R->Files.Calibration);
        const QByteArray oldFile = FileText(R->Files.Calibration);
        TMainForm &f = Opened();
        QCOMPARE(f.CbData, old);
        if (hangUpAfter >= 0)
            f.Analyzer.Simulator()->HangUpAfter(hangUpAfter);

        WithDialog(f, [&](TfrmCalibration &d) {
            d.btnStep1Click();
            QCOMPARE(d.CbData.ZeroLevel[9], f.Analyzer.Simulator() ? f.Analyzer.Simulator()->OpenLevel(10) : 0);
            QVERIFY(d.CbData.ZeroLevel[0] != 1234);
            d.reject();
        });
        QTEST(R->Errors, "errors");
        R->Errors.clear();
        QCOMPARE(f.CbData, old);
        QCOMPARE(FileText(R->Files.Calibration), oldFile);
        QCOMPARE(f.CalibrationForm()->btnStep1->text(), hangUpAfter < 0 ? QStringLiteral("OK") : QStringLiteral("Step 1"));
    }

    // A file that cannot be written: the system's reason, the dialog stays
    // open with its measurements, the calibration in force is kept.
    void failedWriteKeepsEverything()
    {
        R->Files.Calibration = R->Dir.filePath(QStringLiteral("no-such-folder/vantrel.cfg"));
        TMainForm &f = Opened();
        WithDialog(f, [&](TfrmCalibration &d) {
            d.btnStep1Click();
            d.btnSaveClick();
            QCOMPARE(R->Errors.size(), 1);
            QVERIFY2(R->Errors[0].contains(QStringLiteral("No such file or directory")), qPrintable(R->Errors[0]));
            QVERIFY(d.isVisible());
            QCOMPARE(d.CbData.ZeroLevel[0], f.Analyzer.Simulator()->OpenLevel(1));
            d.reject();
        });
        R->Errors.clear();
        QCOMPARE(f.CbData, TCalibrationData());
        QVERIFY(!QFile::exists(R->Files.Calibration));
    }
};

QTEST_MAIN(TestCalibration)
#include "TestCalibration.moc"
