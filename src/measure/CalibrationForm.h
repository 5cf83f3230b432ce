#pragma once

#include "CalibrationData.h"
#include "ProgressView.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// The calibration dialog: step 1 reads the open-load levels, step 2 the
// detector slope from a 100 ohm load, and the crystal page takes the crystal
// frequency measured with an external counter. It works on its own copy of
// the calibration; Save hands the copy to OnSave and closes.
//
// Created once and reused: the page, the crystal edit's text and the look of
// the completed steps stay from one opening to the next.
//
// While a step talks to the analyzer the dialog's commands are disabled and
// it cannot be closed; other windows that are not blocked by its modality
// (such as the simulator's load window) stay usable meanwhile.
class TfrmCalibration : public QDialog
{
    Q_OBJECT
public:
    // progress shows step 1's progress; it must outlive the dialog.
    TfrmCalibration(Vantrel::TProgressView &progress, QWidget *parent = nullptr);

    // The working copy, replaced by the owner before each opening.
    Vantrel::TCalibrationData CbData;
    // The connected analyzer's highest frequency, Hz: step 1 reads up to it.
    qint32 MaxFreq = 0;
    // Takes a saved calibration over; an error keeps the dialog open.
    std::function<void(const Vantrel::TCalibrationData &)> OnSave;
    // Shows an error's one-line message; an error box unless replaced.
    std::function<void(const QString &)> OnError;

    // Event handlers, public so that the dialog can be driven headless.
    void btnStep1Click();
    void btnStep2Click();
    void pageControlChange(int index);
    void btnXtalFreqClick();
    void btnSaveClick();

    // True while a step talks to the analyzer.
    bool IsBusy() const { return FBusy; }

    QTabWidget *pageControl;
    QWidget *sheetDetector, *sheetXtalCalibration;
    QLabel *lbStep1, *lbStep2;
    QPushButton *btnStep1, *btnStep2;
    QLabel *lbXtalFreq, *lbXtalOk;
    QLineEdit *edXtalFreq;
    QPushButton *btnXtalFreq;
    QPushButton *btnSave, *btnCancel;

public slots:
    void reject() override;

private:
    class TBusyScope;

    void CreateControls();
    void MarkDone(QPushButton *step);
    void Guarded(const std::function<void()> &handler);

    Vantrel::TProgressView &FProgress;
    bool FBusy = false;
};
