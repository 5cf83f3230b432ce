#include "CalibrationForm.h"

#include "AnalyzerCommands.h"
#include "CalibrationSteps.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>

using namespace Vantrel;

namespace {

QPushButton *MakeButton(QWidget *parent, const QString &caption, const QRect &at)
{
    auto *b = new QPushButton(caption, parent);
    b->setGeometry(at);
    b->setAutoDefault(false);
    return b;
}

QLabel *MakeLabel(QWidget *parent, const char *text, QPoint at)
{
    auto *l = new QLabel(QString::fromLatin1(text), parent);
    l->move(at);
    return l;
}

} // namespace

// Keeps the user from starting a second command, or closing the dialog,
// while a step waits for the analyzer.
class TfrmCalibration::TBusyScope
{
public:
    explicit TBusyScope(TfrmCalibration *form) : FForm(form)
    {
        FForm->FBusy = true;
        SetEnabled(false);
    }
    ~TBusyScope()
    {
        SetEnabled(true);
        FForm->FBusy = false;
    }
    TBusyScope(const TBusyScope &) = delete;
    TBusyScope &operator=(const TBusyScope &) = delete;

private:
    void SetEnabled(bool on)
    {
        for (QWidget *w : std::initializer_list<QWidget *>{FForm->pageControl, FForm->btnSave, FForm->btnCancel})
            w->setEnabled(on);
    }

    TfrmCalibration *FForm;
};

TfrmCalibration::TfrmCalibration(TProgressView &progress, QWidget *parent) : QDialog(parent), FProgress(progress)
{
    OnError = [this](const QString &msg) { QMessageBox::critical(this, QStringLiteral("Vantrel"), msg); };
    setWindowTitle(QStringLiteral("Calibration"));
    // The owner's font (the main window's) also in this window.
    setAttribute(Qt::WA_WindowPropagation);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    CreateControls();
    setFixedSize(401, 252);
}

void TfrmCalibration::CreateControls()
{
    pageControl = new QTabWidget(this);
    pageControl->setGeometry(8, 8, 385, 201);
    pageControl->setDocumentMode(true);

    sheetDetector = new QWidget;
    lbStep1 = MakeLabel(sheetDetector, "Disconnect load. Press button -->", {16, 21});
    btnStep1 = MakeButton(sheetDetector, QStringLiteral("Step 1"), {280, 16, 75, 25});
    lbStep2 = MakeLabel(sheetDetector, "Connect 100R load. Press button -->", {16, 61});
    btnStep2 = MakeButton(sheetDetector, QStringLiteral("Step 2"), {280, 56, 75, 25});
    pageControl->addTab(sheetDetector, QStringLiteral("Detector slope"));

    sheetXtalCalibration = new QWidget;
    lbXtalFreq = MakeLabel(sheetXtalCalibration, "1. Measure out VUZ frequency and enter it value -->", {16, 24});
    edXtalFreq = new QLineEdit(QStringLiteral("25123456"), sheetXtalCalibration);
    edXtalFreq->setAlignment(Qt::AlignRight);
    edXtalFreq->setGeometry(279, 21, 75, 21);
    lbXtalOk = MakeLabel(sheetXtalCalibration, "2. Press OK button -->", {16, 64});
    lbXtalOk->setWordWrap(true);
    lbXtalOk->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbXtalOk->resize(249, 41);
    btnXtalFreq = MakeButton(sheetXtalCalibration, QStringLiteral("OK"), {279, 59, 75, 25});
    pageControl->addTab(sheetXtalCalibration, QStringLiteral("XTal frequency"));

    btnSave = MakeButton(this, QStringLiteral("Save"), {221, 217, 75, 25});
    btnSave->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    btnSave->setDefault(true);
    btnCancel = MakeButton(this, QStringLiteral("Cancel"), {317, 217, 75, 25});
    btnCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    connect(btnStep1, &QPushButton::clicked, this, &TfrmCalibration::btnStep1Click);
    connect(btnStep2, &QPushButton::clicked, this, &TfrmCalibration::btnStep2Click);
    connect(btnXtalFreq, &QPushButton::clicked, this, &TfrmCalibration::btnXtalFreqClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmCalibration::btnSaveClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmCalibration::reject);
    connect(pageControl, &QTabWidget::currentChanged, this, &TfrmCalibration::pageControlChange);
}

// A completed step looks like an OK button and takes Enter, for the rest of
// the run; it does not close the dialog.
void TfrmCalibration::MarkDone(QPushButton *step)
{
    step->setText(QStringLiteral("OK"));
    step->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    step->setDefault(true);
}

void TfrmCalibration::Guarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        if (OnError)
            OnError(QString::fromUtf8(e.what()));
    }
}

void TfrmCalibration::btnStep1Click()
{
    if (FBusy)
        return;
    Guarded([this] {
        TBusyScope busy(this);
        MeasureOpenLevels(CbData, MaxFreq, FProgress);
        MarkDone(btnStep1);
    });
}

void TfrmCalibration::btnStep2Click()
{
    if (FBusy)
        return;
    Guarded([this] {
        TBusyScope busy(this);
        MeasureSlope(CbData);
        MarkDone(btnStep2);
    });
}

void TfrmCalibration::pageControlChange(int index)
{
    Guarded([this, index] {
        if (pageControl->widget(index) == sheetXtalCalibration) {
            CmdXtalCheckOn();
            edXtalFreq->setText(QString::number(CbData.XTalFreq));
        } else {
            CmdXtalCheckOff();
        }
    });
}

void TfrmCalibration::btnXtalFreqClick()
{
    if (FBusy)
        return;
    Guarded([this] {
        CbData.XTalFreq = XtalFreqFromText(edXtalFreq->text());
        MarkDone(btnXtalFreq);
    });
}

void TfrmCalibration::btnSaveClick()
{
    if (FBusy)
        return;
    Guarded([this] {
        // Fails with the port closed: a calibration is saved only while the
        // analyzer is there to leave its crystal-check mode.
        CmdXtalCheckOff();
        if (OnSave)
            OnSave(CbData);
        accept();
    });
}

void TfrmCalibration::reject()
{
    if (!FBusy)
        QDialog::reject();
}
