// The calibration dialog driven headless over the simulated analyzer: the
// crystal page's commands, Save and Cancel, the completed-step look and what
// the dialog keeps between openings.
#include "SimPort.h"

#include "CalibrationForm.h"
#include "CalibrationSteps.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <optional>

using namespace Vantrel;

class TestCalibrationForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<TSimPort> FRig;
    TProgressLog FProgress;
    std::unique_ptr<TfrmCalibration> FForm;
    QStringList FErrors;
    std::optional<TCalibrationData> FSaved;

    TfrmCalibration &Open()
    {
        FForm->MaxFreq = 150000000;
        FForm->open();
        return *FForm;
    }

    static bool IsDone(const QPushButton *b) { return b->text() == QStringLiteral("OK") && b->isDefault(); }

private slots:
    void init()
    {
        FRig = std::make_unique<TSimPort>();
        FForm = std::make_unique<TfrmCalibration>(FProgress);
        FForm->OnError = [this](const QString &msg) { FErrors << msg; };
        FForm->OnSave = [this](const TCalibrationData &cb) { FSaved = cb; };
        FErrors.clear();
        FSaved.reset();
    }
    void cleanup()
    {
        FForm.reset();
        FRig.reset();
        QCOMPARE(FProgress.Depth, 0);
    }

    void layout()
    {
        TfrmCalibration &f = Open();
        QCOMPARE(f.windowTitle(), QStringLiteral("Calibration"));
        QCOMPARE(f.size(), QSize(401, 252));
        QCOMPARE(f.pageControl->currentWidget(), f.sheetDetector);
        QCOMPARE(f.pageControl->tabText(0), QStringLiteral("Detector slope"));
        QCOMPARE(f.pageControl->tabText(1), QStringLiteral("XTal frequency"));
        QCOMPARE(f.edXtalFreq->text(), QStringLiteral("25123456"));
        QVERIFY(f.btnSave->isDefault());
        for (QPushButton *b : {f.btnStep1, f.btnStep2, f.btnXtalFreq})
            QVERIFY(!IsDone(b));
    }

    // "c" on entering the crystal page, "o" on leaving it; reopening on the
    // crystal page sends nothing and keeps the typed text.
    void pageChangeCommands()
    {
        TfrmCalibration &f = Open();
        f.CbData.XTalFreq = 25000123;
        f.pageControl->setCurrentWidget(f.sheetXtalCalibration);
        QCOMPARE(f.edXtalFreq->text(), QStringLiteral("25000123"));
        f.pageControl->setCurrentWidget(f.sheetDetector);
        f.pageControl->setCurrentWidget(f.sheetXtalCalibration);
        QCOMPARE(FRig->Commands(3), Commands({"c", "o", "c"}));
        QVERIFY(FRig->Sim.XtalCheckMode());

        f.edXtalFreq->setText(QStringLiteral("24999999"));
        f.reject();
        f.CbData = TCalibrationData();
        Open();
        QCOMPARE(f.pageControl->currentWidget(), f.sheetXtalCalibration);
        QCOMPARE(f.edXtalFreq->text(), QStringLiteral("24999999"));
        f.btnSaveClick();
        QCOMPARE(FRig->Commands(4), Commands({"c", "o", "c", "o"}));
        QVERIFY(FErrors.isEmpty());
    }

    void saveAndCancel_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("error");
        QTest::newRow("save") << true << true << true << "";
        QTest::newRow("save, port closed") << true << false << false << "Port Not Open";
        QTest::newRow("cancel") << false << true << true << "";
        QTest::newRow("cancel, port closed") << false << false << true << "";
    }

    void saveAndCancel()
    {
        QFETCH(bool, save);
        QFETCH(bool, portOpen);
        QFETCH(bool, closes);
        TfrmCalibration &f = Open();
        f.CbData.Slope = 0.25;
        if (!portOpen)
            ClosePort();

        if (save)
            f.btnSaveClick();
        else
            QTest::keyClick(&f, Qt::Key_Escape);

        QTEST(FErrors.value(0), "error");
        QCOMPARE(f.isVisible(), !closes);
        QCOMPARE(FSaved.has_value(), save && closes);
        if (FSaved)
            QCOMPARE(FSaved->Slope, 0.25);
        if (closes)
            QCOMPARE(f.result(), int(save ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(FRig->Commands(save && portOpen ? 1 : 0), save && portOpen ? Commands({"o"}) : Commands({}));
    }

    // Completed steps look like OK buttons for the rest of the run; a failed
    // step keeps its caption and what it had stored.
    void completedSteps()
    {
        TfrmCalibration &f = Open();
        f.btnStep1Click();
        QVERIFY(IsDone(f.btnStep1));
        QCOMPARE(f.CbData.ZeroLevel[149], FRig->Sim.OpenLevel(150));
        QCOMPARE(FProgress.Calls.value(0), QStringLiteral("show Calibration"));

        f.btnStep2Click(); // still the open load: refused
        QVERIFY(FErrors.value(0).startsWith(QStringLiteral("Floating point division by zero")));
        QCOMPARE(f.btnStep2->text(), QStringLiteral("Step 2"));
        QCOMPARE(f.CbData.Slope, 0.0);
        QVERIFY(IsDone(f.btnStep1));

        FRig->Sim.SetLoad(TSimLoad{TSimLoadKind::Ohm100, 0, 0});
        f.btnStep2Click();
        QVERIFY(IsDone(f.btnStep2));
        QVERIFY(!f.btnStep1->isDefault());
        QVERIFY(f.CbData.Slope > 0);

        f.pageControl->setCurrentWidget(f.sheetXtalCalibration);
        f.edXtalFreq->setText(QStringLiteral("9999999"));
        f.btnXtalFreqClick();
        QCOMPARE(FErrors.value(1), QStringLiteral("Invalid frequency value"));
        QCOMPARE(f.btnXtalFreq->text(), QStringLiteral("OK"));
        QVERIFY(!f.btnXtalFreq->isDefault());
        QCOMPARE(f.CbData.XTalFreq, 0);
        f.edXtalFreq->setText(QStringLiteral("25003600"));
        f.btnXtalFreqClick();
        QVERIFY(IsDone(f.btnXtalFreq));
        QCOMPARE(f.CbData.XTalFreq, 25003600);
        QVERIFY(f.isVisible());

        f.reject();
        f.CbData = TCalibrationData();
        Open();
        for (QPushButton *b : {f.btnStep1, f.btnStep2})
            QCOMPARE(b->text(), QStringLiteral("OK"));
        QVERIFY(IsDone(f.btnXtalFreq));
        QCOMPARE(FErrors.size(), 2);
    }

    // While step 2 waits for its reply the dialog's commands are off and it
    // does not close; afterwards all is back.
    void busyStepHoldsTheDialog()
    {
        TfrmCalibration &f = Open();
        f.CbData.ZeroLevel[0] = 5000;
        FRig->Sim.DelayReplyLine(0, 300);
        bool reached = false;
        QTimer::singleShot(50, this, [&] {
            reached = true;
            QVERIFY(f.IsBusy());
            QVERIFY(!f.pageControl->isEnabled());
            QVERIFY(!f.btnSave->isEnabled());
            QVERIFY(!f.btnCancel->isEnabled());
            QTest::keyClick(&f, Qt::Key_Escape);
            f.btnStep1Click();
            f.btnSaveClick();
        });
        f.btnStep2Click();
        QVERIFY(reached);
        QVERIFY(f.isVisible());
        QVERIFY(IsDone(f.btnStep2));
        QVERIFY(!IsDone(f.btnStep1));
        QVERIFY(!FSaved);
        for (QWidget *w : std::initializer_list<QWidget *>{f.pageControl, f.btnSave, f.btnCancel})
            QVERIFY(w->isEnabled());
        QCOMPARE(FRig->Commands(2), Commands({"f 1000000", "r 0 1"}));
        QVERIFY(FErrors.isEmpty());
    }
};

QTEST_MAIN(TestCalibrationForm)
#include "tst_calibrationform.moc"
