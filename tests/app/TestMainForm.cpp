// The main window driven headless: start-up, Open with identification over
// the simulator's pseudo-terminal, Run and New, the busy state, the range box,
// the display mode and the tracks.
#include "FormRig.h"
#include "SimRig.h"

#include "AboutForm.h"
#include "DigitEditorInput.h"
#include "FreqDigitEditor.h"
#include "CalibrationForm.h"
#include "FreqRangeBox.h"
#include "GraphM.h"
#include "GraphReadout.h"
#include "Navigator.h"
#include "graph/GraphInputRig.h"
#include "SimLoadForm.h"
#include "TracksForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

Q_DECLARE_METATYPE(Vantrel::TDispMode)

class TestMainForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFormRig> R;

    TMainForm &OpenSimulator(TMainForm &f)
    {
        R->OpenSimulator();
        if (!f.Analyzer.Simulator())
            qFatal("simulator not opened: %s", qPrintable(R->Errors.join(u'|')));
        f.CbData = CalibrationOf(*f.Analyzer.Simulator());
        return f;
    }

    static void SetRange(TMainForm &f, int start, int stop, int points)
    {
        f.btnFreqRangeClick();
        f.gbFreqRange->edStartFreq->setText(QString::number(start));
        f.gbFreqRange->edStopFreq->setText(QString::number(stop));
        f.gbFreqRange->edPoints->setText(QString::number(points));
        f.btnFreqRangeOKClick();
    }

    static QList<QByteArray> SweepWire(int start, int step, int count, bool rx)
    {
        const QByteArray fc = "f " + QByteArray::number(start);
        const QByteArray rc = "r " + QByteArray::number(step) + ' ' + QByteArray::number(count);
        QList<QByteArray> w{fc, rc};
        if (rx)
            w << fc << "z1" << rc << "z0";
        return w;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { R = std::make_unique<TFormRig>(); }
    void cleanup()
    {
        QVERIFY2(R->Errors.isEmpty() || QTest::currentTestFailed(), qPrintable(R->Errors.join(u'|')));
        R.reset();
    }

    void firstStart()
    {
        TMainForm &f = R->Create();
        QCOMPARE(f.windowTitle(), QStringLiteral("Vantrel"));
        QCOMPARE(f.btnFreqRange->text(), QStringLiteral("1,000,000 - 30,000,000 Hz"));
        QCOMPARE(f.btnDispMode->text(), QStringLiteral("SWR"));
        QCOMPARE(f.btnTrackLimit->text(), QStringLiteral("Tracks limit = 4"));
        QCOMPARE(f.Settings.range_points, 100);
        QCOMPARE(f.portComboBox->currentText(), QString());
        QCOMPARE(f.portComboBox->itemText(f.portComboBox->count() - 1), TMainForm::kSimulatorEntry);
        QCOMPARE(f.CbData, Vantrel::TCalibrationData());
        QCOMPARE(f.GraphM->MinYValue(), 1.0);
        QCOMPARE(f.GraphM->MaxYValue(), 4.0);
        QVERIFY(R->SettingsText().isEmpty());
    }

    void startReadsAndMendsSettings()
    {
        R->Write(R->Files.Settings, "[Settings]\nrange_start=2000000\nrange_points=0\ndisp_mode=7\nX_vis=1\n"
                                    "track_limit=5\nport=/dev/rfcomm0\n");
        TMainForm &f = R->Create();
        QCOMPARE(f.Settings.range_start, 2000000);
        QCOMPARE(f.Settings.range_points, 100);
        QCOMPARE(f.Settings.disp_mode, Vantrel::TDispMode::SWR);
        QCOMPARE(f.btnDispMode->text(), QStringLiteral("SWR X"));
        QCOMPARE(f.portComboBox->currentText(), QStringLiteral("/dev/rfcomm0"));
        QCOMPARE(f.btnTrackLimit->text(), QStringLiteral("Tracks limit = 5"));

        // 5 is not an entry of the menu: the tick stays where it was.
        f.btnTrackLimitClick();
        f.TrackLimitPopupMenu->hide();
        QStringList ticked;
        for (QAction *a : f.TrackLimitPopupMenu->actions())
            if (a->isChecked())
                ticked << a->text();
        QCOMPARE(ticked, QStringList{QStringLiteral("4")});

        // A save before any open keeps the saved port.
        f.ViewToRangeClick();
        QVERIFY(R->SettingsText().contains("port=/dev/rfcomm0\n"));
        QVERIFY(R->SettingsText().contains("track_limit=5\n"));
    }

    void openIdentifies_data()
    {
        QTest::addColumn<QByteArray>("firmware");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("maxFreq");
        QTest::addColumn<bool>("lite");
        QTest::newRow("full") << QByteArray("SWR 1.2.150") << "Vantrel [Firmware 1.2.150]" << 150000000 << false;
        QTest::newRow("lite") << QByteArray("1.0.60.lite") << "Vantrel [Firmware 1.0.60.lite]" << 60000000 << true;
    }

    void openIdentifies()
    {
        QFETCH(QByteArray, firmware);
        QFETCH(bool, lite);
        R->Write(R->Files.Calibration, "XTalFreq=25000000\r\n");
        R->Write(R->Files.Settings, "[Settings]\nR_vis=1\nX_vis=1\n");
        TMainForm &f = R->Create();
        QCOMPARE(f.CbData.XTalFreq, 25000000);
        f.Analyzer.SimOptions.Firmware = firmware;
        OpenSimulator(f);

        QTEST(f.windowTitle(), "title");
        QTEST(int(f.Analyzer.MaxFreq), "maxFreq");
        QCOMPARE(f.Analyzer.Lite, lite);
        QCOMPARE(f.Settings.R_vis, !lite);
        QCOMPARE(f.Settings.X_vis, !lite);
        QCOMPARE(f.openButton->text(), QStringLiteral("Close"));
        QVERIFY(f.SimLoadForm()->isVisible());
        QCOMPARE(WireAfter(*f.Analyzer.Simulator(), 0, 2), Commands({"w", "x 25000000"}));
        QVERIFY(R->SettingsText().contains("port=Simulator\n"));
        QCOMPARE(R->SettingsText().contains("R_vis=1\n"), !lite);

        f.OpenClick();
        QCOMPARE(f.openButton->text(), QStringLiteral("Open"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Vantrel"));
        QVERIFY(!f.Analyzer.Simulator());
        QVERIFY(!f.SimLoadForm()->isVisible());
        QTEST(int(f.Analyzer.MaxFreq), "maxFreq");
    }

    void typedDevicePathOpens()
    {
        TSimOptions opt;
        opt.Paced = false;
        TAnalyzerSim sim(opt);
        sim.Start();
        TMainForm &f = R->Create();
        f.portComboBox->setEditText(sim.PortName());
        f.OpenClick();
        QCOMPARE(f.windowTitle(), QStringLiteral("Vantrel [Firmware 1.2.150]"));
        QVERIFY(!f.Analyzer.Simulator());
        QVERIFY(R->SettingsText().contains("port=" + sim.PortName().toUtf8() + "\n"));
        f.OpenClick();
    }

    void openFailureIsReported()
    {
        TMainForm &f = R->Create();
        f.portComboBox->setEditText(QStringLiteral("/dev/vantrel-no-such-port"));
        f.OpenClick();
        QCOMPARE(R->Errors.size(), 1);
        QVERIFY(R->Errors.takeFirst().startsWith(QStringLiteral("Unable to open com port (Error: ")));
        QCOMPARE(f.openButton->text(), QStringLiteral("Open"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Vantrel"));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.IsBusy());
    }

    void newWithRAndX()
    {
        TMainForm &f = OpenSimulator(R->Create());
        f.rCurveAction->trigger();
        f.xCurveAction->trigger();
        QCOMPARE(f.btnDispMode->text(), QStringLiteral("SWR R+X"));
        f.SimLoadForm()->Choose(TSimLoadKind::Dipole);
        SetRange(f, 1000000, 30000000, 100);
        QCOMPARE(f.btnFreqRange->text(), QStringLiteral("1,000,000 - 30,000,000 Hz"));
        TAnalyzerSim &sim = *f.Analyzer.Simulator();
        sim.ClearLog();
        const int handled = sim.CommandsHandled();

        f.NewClick();
        QCOMPARE(WireAfter(sim, handled, 6), SweepWire(1000000, 290000, 101, true));
        TCurves &c = *f.GraphM->Curves();
        QCOMPARE(c.Count(), 3);
        QCOMPARE(c.Items(0)->Caption(), QStringLiteral("SWR 1"));
        QCOMPARE(c.Items(1)->Caption(), QStringLiteral("R 1"));
        QCOMPARE(c.Items(2)->Caption(), QStringLiteral("X 1"));
        CheckMainCurve(*c.Items(0), sim, 0, 1000000, 290000, 101);
        CheckRXCurve(*c.Items(1), sim, true, 1000000, 290000, 101);
        CheckRXCurve(*c.Items(2), sim, false, 1000000, 290000, 101);
        QCOMPARE(c.Items(0)->Points(100).X, 30000000.0);
        QCOMPARE(f.TracksForm()->List()->model()->rowCount(), 3);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.IsBusy());
        QVERIFY(f.runButton->isEnabled());
    }

    void runCases_data()
    {
        QTest::addColumn<int>("tracksBefore");
        QTest::addColumn<int>("curvesAfter");
        QTest::addColumn<QString>("newestCaption");
        QTest::addColumn<double>("leftMax"); // 2 after a Clear, else the SWR mode's 4
        QTest::newRow("empty graph: first track") << 0 << 1 << "SWR 1" << 4.0;
        QTest::newRow("one track: replaced") << 1 << 1 << "SWR 1" << 2.0;
        QTest::newRow("two tracks: newest refilled") << 2 << 2 << "SWR 2" << 4.0;
    }

    void runCases()
    {
        QFETCH(int, tracksBefore);
        QFETCH(int, curvesAfter);
        TMainForm &f = OpenSimulator(R->Create());
        SetRange(f, 1000000, 11000000, 10);
        TAnalyzerSim &sim = *f.Analyzer.Simulator();
        sim.SetLoad(TSimLoad{TSimLoadKind::Ohm50, 0, 0});
        for (int i = 0; i < tracksBefore; ++i)
            f.NewClick();
        f.GraphM->SetScaleXY(400);

        sim.SetLoad(TSimLoad{TSimLoadKind::Ohm100, 0, 0});
        sim.ClearLog();
        const int handled = sim.CommandsHandled();
        f.RunClick();
        QCOMPARE(WireAfter(sim, handled, 2), SweepWire(1000000, 1000000, 11, false));
        TCurves &c = *f.GraphM->Curves();
        QCOMPARE(c.Count(), curvesAfter);
        QTEST(c.Items(c.Count() - 1)->Caption(), "newestCaption");
        CheckMainCurve(*c.Items(c.Count() - 1), sim, 0, 1000000, 1000000, 11);
        QCOMPARE(f.GraphM->ScaleX(), 100);
        QTEST(f.GraphM->MaxYValue(), "leftMax");
        if (curvesAfter == 2) { // the older track keeps its 50 ohm sweep
            QCOMPARE(c.Items(0)->Count(), 11);
            for (int i = 0; i < 11; ++i)
                QVERIFY(c.Items(0)->Points(i).Y < 1.1);
        }
    }

    void busySweepRefusesOtherCommands()
    {
        TMainForm &f = OpenSimulator(R->Create());
        f.show();
        f.EditTracksClick();
        SetRange(f, 1000000, 21000000, 20);
        TAnalyzerSim &sim = *f.Analyzer.Simulator();
        f.NewClick(); // a track for the tracks window to delete from
        sim.ClearLog();
        const int handled = sim.CommandsHandled();
        TCurve *main = nullptr;

        bool reached = false;
        QTimer meddler;
        meddler.setInterval(0);
        connect(&meddler, &QTimer::timeout, this, [&] {
            if (!main || main->Count() < 3)
                return;
            meddler.stop();
            reached = true;
            QVERIFY(f.IsBusy());
            // The button that started the sweep has become its stop button.
            QCOMPARE(f.runButton->text(), QStringLiteral("Stop"));
            QVERIFY(f.runButton->isEnabled());
            QVERIFY(!f.newButton->isEnabled());
            QVERIFY(!f.openButton->isEnabled());
            QVERIFY(!f.btnDispMode->isEnabled());
            QVERIFY(!f.calibrationButton->isEnabled());
            f.CalibrationClick(); // refused: it would wait for the dialog right here
            QVERIFY(!f.CalibrationForm()->isVisible());
            f.NewClick();
            f.btnClearAllClick();
            f.btnKeepLastClick();
            f.DispModeClick(Vantrel::TDispMode::ReturnLoss);
            f.OpenClick();
            TfrmTracks &t = *f.TracksForm();
            t.ContextMenuPopup(t.List()->visualRect(t.List()->model()->index(0, 2)).center());
            QVERIFY(!t.DeleteAction()->isEnabled());
            t.miDeleteClick();
            t.ClearClick();
            t.KeepLastClick();
            f.GraphM->setFocus(); // the user's own choice of focus is kept
        });
        meddler.start();
        // Run with one track on the graph: Clear, then the new track's sweep.
        QTimer::singleShot(0, this, [&] { main = f.GraphM->Curves()->Count() ? f.GraphM->Curves()->Items(0) : nullptr; });
        f.RunClick();

        QVERIFY(reached);
        QCOMPARE(WireAfter(sim, handled, 2), SweepWire(1000000, 1000000, 21, false));
        QCOMPARE(f.GraphM->Curves()->Count(), 1);
        QCOMPARE(f.GraphM->Curves()->Items(0)->Count(), 21);
        QCOMPARE(f.Settings.disp_mode, Vantrel::TDispMode::SWR);
        QCOMPARE(f.openButton->text(), QStringLiteral("Close"));
        QVERIFY(f.runButton->isEnabled());
        QCOMPARE(f.runButton->text(), QStringLiteral("Run"));
        QCOMPARE(f.focusWidget(), f.GraphM);
    }

    // The buttons disabled during a sweep push the focus elsewhere; it comes
    // back to the button that started the sweep.
    void sweepGivesFocusBack()
    {
        TMainForm &f = OpenSimulator(R->Create());
        SetRange(f, 1000000, 2000000, 5);
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.newButton->setFocus();
        QTest::keyClick(f.newButton, Qt::Key_Space);
        QCOMPARE(f.GraphM->Curves()->Items(0)->Count(), 6);
        QCOMPARE(f.focusWidget(), f.newButton);
    }

    void sweepWithoutPortFails()
    {
        TMainForm &f = R->Create();
        f.NewClick();
        QCOMPARE(R->Errors, QStringList{QStringLiteral("Port Not Open")});
        R->Errors.clear();
        QCOMPARE(f.GraphM->Curves()->Count(), 1);
        QCOMPARE(f.GraphM->Curves()->Items(0)->Count(), 0);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(f.newButton->isEnabled());
    }

    void rangeBox()
    {
        TMainForm &f = R->Create();
        f.btnFreqRangeClick();
        QVERIFY(!f.gbFreqRange->isHidden());
        QCOMPARE(f.gbFreqRange->pos(), QPoint(f.btnFreqRange->x(), f.btnFreqRange->geometry().bottom() + 1));
        f.gbFreqRange->edStartFreq->setText(QStringLiteral("2000000"));
        f.btnFreqRangeOKClick(); // nothing identified yet: MaxFreq is 0
        QCOMPARE(R->Errors, QStringList{QStringLiteral("Invalid stop freq")});
        R->Errors.clear();
        QVERIFY(!f.gbFreqRange->isHidden());
        QCOMPARE(f.Settings.range_start, 1000000);
        QVERIFY(R->SettingsText().isEmpty());

        f.Analyzer.MaxFreq = 150000000;
        f.gbFreqRange->edStopFreq->setText(QStringLiteral("3000000"));
        f.gbFreqRange->edPoints->setText(QStringLiteral("25"));
        QTest::keyClick(f.gbFreqRange->edPoints, Qt::Key_Return);
        QVERIFY(f.gbFreqRange->isHidden());
        QCOMPARE(f.btnFreqRange->text(), QStringLiteral("2,000,000 - 3,000,000 Hz"));
        QVERIFY(R->SettingsText().contains("range_start=2000000\nrange_stop=3000000\nrange_points=25\n"));

        // Cancel applies nothing.
        f.btnFreqRangeClick();
        f.gbFreqRange->edPoints->setText(QStringLiteral("7"));
        f.RangeCancelClick();
        QVERIFY(f.gbFreqRange->isHidden());
        QCOMPARE(f.Settings.range_points, 25);
    }

    void hidingRangeBoxFocusesItsButton_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("OK") << 0;
        QTest::newRow("cancel") << 1;
        QTest::newRow("range button") << 2;
    }

    // The focus must not pass on to the port list, where typing would
    // replace the port name.
    void hidingRangeBoxFocusesItsButton()
    {
        QFETCH(int, how);
        TMainForm &f = R->Create();
        f.Analyzer.MaxFreq = 150000000;
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.btnFreqRangeClick();
        f.gbFreqRange->edStopFreq->setFocus();
        QCOMPARE(f.focusWidget(), f.gbFreqRange->edStopFreq);
        if (how == 0)
            QTest::keyClick(f.gbFreqRange->edStopFreq, Qt::Key_Return);
        else if (how == 1)
            f.RangeCancelClick();
        else
            f.btnFreqRangeClick();
        QVERIFY(f.gbFreqRange->isHidden());
        QCOMPARE(f.focusWidget(), f.btnFreqRange);
    }

    // The start and stop edits have the digit editor, limited by the
    // analyzer's highest frequency; OK takes what it wrote.
    void digitEditorOnRangeBox()
    {
        TMainForm &f = R->Create();
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.btnFreqRangeClick();
        f.gbFreqRange->edStartFreq->setFocus();
        QTRY_VERIFY(f.pnFreqEdit->isVisible());
        QCOMPARE(f.pnFreqEdit->Label()->text(), QStringLiteral("001.000.000"));
        const QRect panel = f.pnFreqEdit->geometry();
        QVERIFY(f.childAt(panel.center()) == f.pnFreqEdit || f.pnFreqEdit->isAncestorOf(f.childAt(panel.center())));

        WheelAt(f, DigitCentre(*f.pnFreqEdit, 2, f), 120); // nothing identified: MaxFreq 0
        QCOMPARE(f.gbFreqRange->edStartFreq->text(), QStringLiteral("0"));
        f.Analyzer.MaxFreq = 150000000;
        WheelAt(f, DigitCentre(*f.pnFreqEdit, 0, f), -120);
        WheelAt(f, DigitCentre(*f.pnFreqEdit, 4, f), 120);
        QCOMPARE(f.gbFreqRange->edStartFreq->text(), QStringLiteral("200000"));

        f.gbFreqRange->edStopFreq->setFocus();
        QTRY_COMPARE(f.pnFreqEdit->FreqEdit(), f.gbFreqRange->edStopFreq);
        QCOMPARE(f.pnFreqEdit->Label()->text(), QStringLiteral("030.000.000"));
        f.gbFreqRange->edPoints->setFocus();
        QTRY_VERIFY(f.pnFreqEdit->isHidden());
        QTest::keyClick(f.gbFreqRange->edPoints, Qt::Key_Return);
        QVERIFY(f.gbFreqRange->isHidden());
        QCOMPARE(f.Settings.range_start, 200000);
    }

    // "Save image" and "About" open their modal windows.
    void saveImageAndAboutOpen()
    {
        TMainForm &f = R->Create();
        QStringList seen;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                seen << QStringLiteral("save");
                dialog->reject();
            } else if (modal == f.AboutForm()) {
                seen << QStringLiteral("about");
                f.AboutForm()->reject();
            }
        });
        poll.start(10);
        f.saveImageButton->click();
        f.aboutButton->click();
        QCOMPARE(seen, (QStringList{QStringLiteral("save"), QStringLiteral("about")}));
    }

    void viewToRangeRoundsHalfToEven()
    {
        TMainForm &f = R->Create();
        f.GraphM->scMinX = 1234567.5;
        f.GraphM->scMaxX = 2345678.5;
        f.ViewToRangeClick();
        QCOMPARE(f.Settings.range_start, 1234568);
        QCOMPARE(f.Settings.range_stop, 2345678);
        QCOMPARE(f.gbFreqRange->edStartFreq->text(), QStringLiteral("1234568"));
        QCOMPARE(f.btnFreqRange->text(), QStringLiteral("1,234,568 - 2,345,678 Hz"));
        QVERIFY(R->SettingsText().contains("range_start=1234568\nrange_stop=2345678\n"));
    }

    void displayModeClearsAndSaves()
    {
        TMainForm &f = R->Create();
        f.AddGraph();
        f.AddGraph();
        f.gammaAction->trigger();
        QCOMPARE(f.GraphM->Curves()->Count(), 0);
        QCOMPARE(f.btnDispMode->text(), QStringLiteral("Gamma"));
        QCOMPARE(f.GraphM->MinYValue(), 0.0);
        QCOMPARE(f.GraphM->MaxYValue(), 1.0);
        f.AddGraph();
        f.xCurveAction->trigger();
        QCOMPARE(f.GraphM->Curves()->Count(), 0);
        QCOMPARE(f.btnDispMode->text(), QStringLiteral("Gamma X"));
        QVERIFY(R->SettingsText().contains("disp_mode=1\nR_vis=0\nX_vis=1\n"));

        f.btnDispModeClick();
        QVERIFY(f.gammaAction->isChecked());
        QVERIFY(f.xCurveAction->isVisible() && f.xCurveAction->isChecked());
        f.DispPopupMenu->hide();
        f.Analyzer.Lite = true;
        f.btnDispModeClick();
        QVERIFY(!f.rCurveAction->isVisible());
        QVERIFY(!f.xCurveAction->isVisible());
        f.DispPopupMenu->hide();
    }

    void tracks()
    {
        R->Write(R->Files.Settings, "[Settings]\ndisp_mode=2\nR_vis=1\nX_vis=1\n");
        TMainForm &f = R->Create();
        TCurves &c = *f.GraphM->Curves();
        for (int i = 0; i < 3; ++i)
            f.AddGraph();
        QCOMPARE(c.Count(), 9);
        QCOMPARE(c.Items(6)->Caption(), QStringLiteral("RL 3"));
        QCOMPARE(c.Items(7)->Axis(), axRight);
        QCOMPARE(c.Items(8)->Color(), QColor(0, 255, 0));

        f.EditTracksClick();
        TfrmTracks &t = *f.TracksForm();
        QTableView *list = t.List();
        QCOMPARE(list->model()->rowCount(), 9);

        // The colour swatch fills its cell, in the selected row too.
        list->selectRow(1);
        const QImage shot = list->viewport()->grab().toImage();
        for (int row : {1, 2})
            QCOMPARE(shot.pixelColor(list->visualRect(list->model()->index(row, 1)).center()),
                     c.Items(row)->Color());

        // Unticking hides the curve; the row stays.
        list->model()->setData(list->model()->index(4, 0), Qt::Unchecked, Qt::CheckStateRole);
        QVERIFY(!c.Items(4)->Visible());
        QCOMPARE(list->model()->rowCount(), 9);

        // Delete on an R row removes that curve only.
        t.ContextMenuPopup(list->visualRect(list->model()->index(1, 2)).center());
        QVERIFY(t.DeleteAction()->isEnabled());
        t.miDeleteClick();
        QCOMPARE(c.Count(), 8);
        QCOMPARE(c.Items(1)->Caption(), QStringLiteral("X 1"));
        QCOMPARE(list->model()->rowCount(), 8);
        QCOMPARE(list->model()->data(list->model()->index(1, 0)).toInt(), 1);

        // Below the last row there is nothing to delete.
        t.ContextMenuPopup(QPoint(5, list->viewport()->height() - 2));
        QVERIFY(!t.DeleteAction()->isEnabled());

        // Keep last leaves the newest track's curves.
        t.KeepLastClick();
        QCOMPARE(c.Count(), 3);
        QCOMPARE(c.Items(0)->Caption(), QStringLiteral("RL 3"));
        f.btnKeepLastClick();
        QCOMPARE(c.Count(), 3);

        // Clear resets the value ranges whatever the mode.
        t.ClearClick();
        QCOMPARE(c.Count(), 0);
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(f.GraphM->MinYValue(), 1.0);
        QCOMPARE(f.GraphM->MaxYValue(), 2.0);
        QCOMPARE(f.GraphM->MaxYRValue(), 50.0);
        f.AddGraph();
        QCOMPARE(c.Items(0)->Caption(), QStringLiteral("RL 1"));
    }

    void cursorReadout_data()
    {
        QTest::addColumn<Vantrel::TDispMode>("mode");
        QTest::addColumn<bool>("xShown");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("SWR") << Vantrel::TDispMode::SWR << false << "^[0-9,]+Hz, SWR=[0-9]+\\.[0-9]$";
        QTest::newRow("return loss, X shown")
            << Vantrel::TDispMode::ReturnLoss << true << "^[0-9,]+Hz, RL=-?[0-9]+\\.[0-9]dB, R=-?[0-9]+\\.[0-9]$";
    }

    void cursorReadout()
    {
        QFETCH(Vantrel::TDispMode, mode);
        QFETCH(bool, xShown);
        QFETCH(QString, pattern);
        TMainForm &f = R->Create();
        f.DispModeClick(mode);
        if (xShown)
            f.xCurveAction->trigger();
        TGraphM &g = *f.GraphM;
        (void)g.DrawToBitmap();
        const QPoint at = g.GraphPointToPoint({10e6, g.MinYValue() + 0.4 * (g.MaxYValue() - g.MinYValue())});
        Move(g, Qt::NoButton, at);
        QVERIFY2(QRegularExpression(pattern).match(f.lbCurPos->text()).hasMatch(), qPrintable(f.lbCurPos->text()));
        const std::optional<double> right =
            xShown ? std::optional(g.PointToGraphPointR(at).Y) : std::nullopt;
        QCOMPARE(f.lbCurPos->text(), Vantrel::CursorText(g.PointToGraphPoint(at), mode, right));

        // A measuring drag shows the differences up to the move before.
        Press(g, Qt::LeftButton, {200, 300});
        Move(g, Qt::LeftButton, {500, 200});
        Move(g, Qt::LeftButton, {600, 100});
        QCOMPARE(f.lbCurPos->text(), Vantrel::MeasureText(g.PointToGraphPoint({200, 300}),
                                                          g.PointToGraphPoint({500, 200}), mode));
        QVERIFY(f.lbCurPos->text().startsWith(QStringLiteral("\u0394 ")));
    }

    void markerTexts()
    {
        TMainForm &f = R->Create();
        f.DispModeClick(Vantrel::TDispMode::ReturnLoss);
        f.GraphM->AddMarker(7050000, -12.04);
        QString text;
        QVERIFY(f.GraphM->OnMarkerGetText);
        f.GraphM->OnMarkerGetText(f.GraphM, 0, text);
        QCOMPARE(text, QStringLiteral("7,050,000Hz, -12.0dB"));
    }

    void infoListsSwrSpans()
    {
        TMainForm &f = R->Create();
        f.InfoClick(); // no curves: nothing at all
        QVERIFY(f.gbStat->isHidden());
        QCOMPARE(f.gbStat->title(), QStringLiteral(" SWR <= 2 "));

        f.AddGraph();
        f.GraphM->Curves()->Items(0)->AddPoints(
            std::vector<TGraphPoint>{{7.00e6, 3.0}, {7.05e6, 1.8}, {7.10e6, 1.5}, {7.15e6, 2.4}, {7.20e6, 1.9}});
        (void)f.GraphM->DrawToBitmap(); // the visible window of the picture
        f.InfoClick();
        QVERIFY(f.gbStat->isVisibleTo(&f));
        QCOMPARE(f.lbStat->text(), QStringLiteral("7,050,000Hz - 7,150,000Hz\r\nMin SWR 1.50 at 7,100,000Hz"));
        QCOMPARE(f.GraphM->Markers, (std::vector<TGraphPoint>{{7.05e6, 2.4}, {7.15e6, 2.4}}));

        // "x" hides the box; its text and the markers stay.
        f.StatCloseClick();
        QVERIFY(f.gbStat->isHidden());
        QCOMPARE(f.GraphM->Markers.size(), size_t(2));
        QVERIFY(R->Errors.isEmpty());

        // A track shown with R has two curves; one alone is not a track.
        f.rCurveAction->trigger();
        f.AddGraph();
        f.GraphM->Curves()->Delete(0);
        f.InfoClick();
        QCOMPARE(R->Errors, QStringList{QStringLiteral("Argument out of range")});
        QVERIFY(f.gbStat->isHidden());
        R->Errors.clear();
    }

    // The line after the spans on the simulator's dipole, swept with R and
    // X: the lowest SWR lies at the resonance near 7.1 MHz, where R is the
    // dipole's and |X| nearly 0.
    void infoShowsResonance()
    {
        TMainForm &f = OpenSimulator(R->Create());
        f.Analyzer.Simulator()->SetLoad(TSimLoad{TSimLoadKind::Dipole, 0, 0});
        f.rCurveAction->trigger();
        f.xCurveAction->trigger();
        SetRange(f, 6500000, 7700000, 60);
        f.NewClick();
        f.InfoClick();
        QVERIFY(R->Errors.isEmpty());
        const QString line = f.lbStat->text().section(QStringLiteral("\r\n"), -1);
        static const QRegularExpression re(
            QStringLiteral("^Min SWR (\\d\\.\\d\\d) at ([\\d,]+)Hz, R=([\\d.]+), \\|X\\|=([\\d.]+)$"));
        const QRegularExpressionMatch m = re.match(line);
        QVERIFY2(m.hasMatch(), qPrintable(line));
        const double freq = QLocale().toDouble(m.captured(2));
        QVERIFY2(std::abs(freq - SimModel::kDipoleResonanceHz) <= 40000, qPrintable(line));
        const std::complex<double> z = f.Analyzer.Simulator()->LoadImpedance(freq);
        QVERIFY2(m.captured(1).toDouble() < 1.6, qPrintable(line));
        QVERIFY2(std::abs(m.captured(3).toDouble() - z.real()) < 0.05 * z.real() + 2, qPrintable(line));
        QVERIFY2(m.captured(4).toDouble() < 10, qPrintable(line));
    }

    void navigatorButtonToggles()
    {
        TMainForm &f = R->Create();
        QVERIFY(!f.GraphM->Navigator());
        f.navigatorButton->click();
        QVERIFY(f.GraphM->Navigator());
        QVERIFY(f.GraphM->NavigatorWindow()->isVisible());
        f.navigatorButton->click();
        QVERIFY(!f.GraphM->NavigatorWindow()->isVisible());
    }
};

QTEST_MAIN(TestMainForm)
#include "TestMainForm.moc"
