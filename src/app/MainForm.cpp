#include "MainForm.h"

#include "AboutForm.h"
#include "AmateurBands.h"
#include "AnalyzerCommands.h"
#include "CalibrationForm.h"
#include "DispMode.h"
#include "ExchangeGuard.h"
#include "FreqDigitEditor.h"
#include "FreqRangeBox.h"
#include "GraphM.h"
#include "GraphReadout.h"
#include "NumberText.h"
#include "PortComboBox.h"
#include "ProgressDlg.h"
#include "RangeCheck.h"
#include "ReplyDrain.h"
#include "RepThread.h"
#include "RepeatTracks.h"
#include "SaveData.h"
#include "SaveImage.h"
#include "SerialLink.h"
#include "SimLoadForm.h"
#include "TrackSweep.h"
#include "Tracks.h"
#include "TracksForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QSerialPort>
#include <QTimer>
#include <QToolButton>

using namespace Vantrel;

// Marks the window busy while the analyzer is being talked to: the commands
// that must not run meanwhile are disabled, and the busy cursor shows.
class TMainForm::TBusyScope
{
public:
    explicit TBusyScope(TMainForm *form) : FForm(form)
    {
        if (FForm->FBusyDepth++ == 0) {
            // Disabling the focused button moves the focus on; it comes back
            // afterwards (unless the user has put it elsewhere meanwhile), so
            // Space or Enter repeats the command as before.
            FFocus = FForm->focusWidget();
            FForm->UpdateCommandStates();
            FMovedTo = FForm->focusWidget();
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TBusyScope()
    {
        QApplication::restoreOverrideCursor();
        if (--FForm->FBusyDepth == 0) {
            FForm->UpdateCommandStates();
            if (FFocus && FFocus->isEnabled() && FFocus->isVisible() && FForm->focusWidget() == FMovedTo)
                FFocus->setFocus();
            if (FForm->FCloseRequested)
                QTimer::singleShot(0, FForm, &QWidget::close);
        }
    }
    TBusyScope(const TBusyScope &) = delete;
    TBusyScope &operator=(const TBusyScope &) = delete;

private:
    TMainForm *FForm;
    QPointer<QWidget> FFocus, FMovedTo;
};

TMainForm::TMainForm(const TAppFiles &files, QWidget *parent)
    : QWidget(parent), FFiles(files), FPort(new QSerialPort(this))
{
    OnError = [this](const QString &msg) { QMessageBox::critical(this, QStringLiteral("Vantrel"), msg); };

    CreateControls();
    CreateMenus();
    ConnectControls();

    SetPort(FPort);
    if (QFile::exists(FFiles.Calibration))
        Guarded([this] { CbData.LoadFromFile(FFiles.Calibration); });

    Settings = TAppSettings::Load(FFiles.Settings);
    FillPortList(Settings.port);
    UpdateRangeCaption();
    ApplyDispMode();
    UpdateTrackLimitCaption();

    FTracks = new TfrmTracks(GraphM, this);
    FTracks->Locked = [this] { return IsBusy(); };
    FTracks->OnClear = [this] { btnClearAllClick(); };
    FTracks->OnKeepLast = [this] { btnKeepLastClick(); };
    FSimLoad = std::make_unique<TfrmSimLoad>();
    FCalibration = new TfrmCalibration(ProgressWindow(), this);
    FCalibration->setWindowModality(Qt::WindowModal);
    FCalibration->OnError = [this](const QString &msg) {
        if (OnError)
            OnError(msg);
    };
    FCalibration->OnSave = [this](const TCalibrationData &cb) { TakeCalibration(cb); };
    FAbout = new TfrmAbout(this);

    connect(&PortMonitor(), &TPortMonitor::ConnectionLost, this, &TMainForm::UpdateConnectionState);
    connect(&DrainMonitor(), &TDrainMonitor::DrainingChanged, this, &TMainForm::ShowDraining);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &TMainForm::StopSweep);
    UpdateCommandStates();
}

TMainForm::~TMainForm()
{
    RepThread.reset(); // stops the worker before the graph and the port go
    Analyzer.Close();
    SetPort(nullptr);
}

void TMainForm::ConnectControls()
{
    connect(openButton, &QPushButton::clicked, this, &TMainForm::OpenClick);
    connect(runButton, &QPushButton::clicked, this, &TMainForm::RunClick);
    connect(newButton, &QPushButton::clicked, this, &TMainForm::NewClick);
    connect(btnClearAll, &QPushButton::clicked, this, &TMainForm::btnClearAllClick);
    connect(btnKeepLast, &QPushButton::clicked, this, &TMainForm::btnKeepLastClick);
    connect(viewToRangeButton, &QPushButton::clicked, this, &TMainForm::ViewToRangeClick);
    connect(clearMarkersButton, &QPushButton::clicked, this, &TMainForm::ClearMarkersClick);
    connect(navigatorButton, &QToolButton::clicked, this, &TMainForm::NavigatorClick);
    connect(infoButton, &QPushButton::clicked, this, &TMainForm::InfoClick);
    connect(statCloseButton, &QToolButton::clicked, this, &TMainForm::StatCloseClick);
    GraphM->OnMouseMove = [this](TGraphM *, QPoint pos) { GraphMMouseMove(pos); };
    GraphM->OnMarkerGetText = [this](TGraphM *, int index, QString &text) { GraphMMarkerGetText(index, text); };
    connect(zoomFullButton, &QToolButton::clicked, this, &TMainForm::ZoomFullClick);
    connect(zoomAutoButton, &QToolButton::clicked, this, &TMainForm::ZoomAutoClick);
    connect(editTracksButton, &QToolButton::clicked, this, &TMainForm::EditTracksClick);
    connect(btnFreqRange, &QPushButton::clicked, this, &TMainForm::btnFreqRangeClick);
    connect(gbFreqRange, &TFreqRangeBox::Accepted, this, &TMainForm::btnFreqRangeOKClick);
    connect(gbFreqRange, &TFreqRangeBox::Cancelled, this, &TMainForm::RangeCancelClick);
    connect(btnDispMode, &QPushButton::clicked, this, &TMainForm::btnDispModeClick);
    connect(btnTrackLimit, &QPushButton::clicked, this, &TMainForm::btnTrackLimitClick);
    connect(btnStartStop, &QPushButton::clicked, this, &TMainForm::btnStartStopClick);
    connect(btnPause, &QPushButton::clicked, this, &TMainForm::btnPauseClick);
    connect(saveImageButton, &QToolButton::clicked, this, &TMainForm::SaveImageClick);
    connect(saveDataButton, &QToolButton::clicked, this, &TMainForm::SaveDataClick);
    auto *saveData = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this);
    saveData->setContext(Qt::WindowShortcut);
    connect(saveData, &QShortcut::activated, this, &TMainForm::SaveDataClick);
    connect(aboutButton, &QPushButton::clicked, this, &TMainForm::AboutClick);
    pnFreqEdit->Attach(gbFreqRange->edStartFreq);
    pnFreqEdit->Attach(gbFreqRange->edStopFreq);
    pnFreqEdit->MaxFreq = [this] { return Analyzer.MaxFreq; };
    connect(calibrationButton, &QPushButton::clicked, this, &TMainForm::CalibrationClick);
}

void TMainForm::FillPortList(const QString &savedPort)
{
    portComboBox->Refill();
    // A typed device path the system does not list shows as text.
    portComboBox->SelectPort(savedPort);
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PlaceAnchored();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Destroying the window under a running exchange would pull the graph
    // and the port from under it; close once it has finished.
    if (FBusyDepth > 0) {
        FCloseRequested = true;
        StopSweep();
        event->ignore();
        return;
    }
    if (RepThread) {
        StopRepeat();
        if (FBusyDepth > 0 || RepThread) {
            FCloseRequested = true;
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

TfrmTracks *TMainForm::TracksForm() const
{
    return FTracks;
}

TfrmSimLoad *TMainForm::SimLoadForm() const
{
    return FSimLoad.get();
}

TfrmCalibration *TMainForm::CalibrationForm() const
{
    return FCalibration;
}

bool TMainForm::IsBusy() const
{
    return FBusyDepth > 0 || RepThread || ExchangeBusy();
}

void TMainForm::UpdateCommandStates()
{
    const bool idle = FBusyDepth == 0 && !RepThread;
    for (QWidget *w : std::initializer_list<QWidget *>{openButton, runButton, newButton, btnClearAll, btnKeepLast,
                                                       gbFreqRange->btnFreqRangeOK, btnDispMode, calibrationButton,
                                                       portComboBox})
        w->setEnabled(idle);
    DispPopupMenu->setEnabled(idle);
    btnStartStop->setEnabled(FBusyDepth == 0);
    if (FSweepButton)
        FSweepButton->setEnabled(true);
}

void TMainForm::Guarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        if (OnError)
            OnError(QString::fromUtf8(e.what()));
    }
}

int TMainForm::CurvesPerTrack() const
{
    return Vantrel::CurvesPerTrack(Settings.R_vis, Settings.X_vis);
}

void TMainForm::SaveSettings()
{
    Settings.Save(FFiles.Settings);
}

// ---- port and identification ------------------------------------------------

void TMainForm::OpenClick()
{
    if (IsBusy())
        return;
    Guarded([this] {
        if (Analyzer.IsOpen())
            ClosePortAndSimulator();
        else
            OpenAnalyzer(portComboBox->CurrentPort());
    });
}

void TMainForm::OpenPortNamed(const QString &name)
{
    portComboBox->SelectPort(name);
    OpenClick();
}

void TMainForm::OpenAnalyzer(const QString &name)
{
    TBusyScope busy(this);
    ClosePortAndSimulator();
    // The button and the simulated-load window follow the port also when
    // the identification fails with the port open.
    struct TShowState {
        TMainForm *Form;
        ~TShowState() { Form->UpdateConnectionState(); }
    } showState{this};
    const TFirmwareId id = Analyzer.Open(name, CbData.XTalFreq);
    Settings.port = name;
    if (Analyzer.Lite) {
        Settings.R_vis = false;
        Settings.X_vis = false;
    }
    setWindowTitle(QStringLiteral("Vantrel [Firmware ") + id.Id + u']');
    SaveSettings();
}

void TMainForm::ClosePortAndSimulator()
{
    Analyzer.Close();
    UpdateConnectionState();
}

void TMainForm::UpdateConnectionState()
{
    const bool open = Analyzer.IsOpen();
    openButton->setText(open ? QStringLiteral("Close") : QStringLiteral("Open"));
    if (!open)
        setWindowTitle(QStringLiteral("Vantrel"));
    if (!FSimLoad)
        return;
    FSimLoad->SetSimulator(open ? Analyzer.Simulator() : nullptr);
    if (open && Analyzer.Simulator())
        ShowBesideGraph(FSimLoad.get(), 0);
    else
        FSimLoad->hide();
}

// ---- tracks -----------------------------------------------------------------

void TMainForm::UpdateTracks()
{
    if (FTracks)
        FTracks->UpdateTracks();
}

void TMainForm::AddGraph()
{
    AddTrack(*GraphM->Curves(), Settings.disp_mode, Settings.R_vis, Settings.X_vis);
    UpdateTracks();
}

void TMainForm::ClearAll()
{
    ClearTracks(*GraphM);
    UpdateTracks();
}

void TMainForm::btnClearAllClick()
{
    if (!IsBusy())
        ClearAll();
}

void TMainForm::btnKeepLastClick()
{
    if (IsBusy())
        return;
    KeepLastTrack(*GraphM->Curves(), CurvesPerTrack());
    UpdateTracks();
}

void TMainForm::EditTracksClick()
{
    // Left of the simulated-load window, which opens at the tool strip.
    ShowBesideGraph(FTracks, FSimLoad->width() + 16);
}

void TMainForm::UpdateTrackLimitCaption()
{
    btnTrackLimit->setText(QStringLiteral("Tracks limit = ") + QString::number(Settings.track_limit));
}

void TMainForm::btnTrackLimitClick()
{
    for (QAction *a : TrackLimitPopupMenu->actions())
        if (a->data().toInt() == Settings.track_limit) {
            a->setChecked(true);
            break;
        }
    TrackLimitPopupMenu->popup(btnTrackLimit->mapToGlobal(QPoint(0, btnTrackLimit->height())));
}

void TMainForm::TrackLimitClick(int limit)
{
    Settings.track_limit = limit;
    UpdateTrackLimitCaption();
}

// ---- sweeps -----------------------------------------------------------------

void TMainForm::Measure(QPushButton *stopButton)
{
    TBusyScope busy(this);
    // The button that started the sweep stops it (so does Escape).
    const QString caption = stopButton ? stopButton->text() : QString();
    FSweepButton = stopButton;
    FSweeping = true;
    FSweepStop = false;
    UpdateCommandStates();
    const auto restore = qScopeGuard([this, stopButton, caption] {
        FSweeping = false;
        FSweepButton = nullptr;
        if (stopButton)
            stopButton->setText(caption);
    });
    if (stopButton)
        stopButton->setText(QStringLiteral("Stop"));
    const TSweepSettings s{Settings.range_start, Settings.range_stop, Settings.range_points,
                           Settings.disp_mode,   Settings.R_vis,      Settings.X_vis};
    try {
        MeasureTrack(*GraphM, CbData, s, [this] { return FSweepStop; });
    } catch (const TReplyAbandoned &) {
        // Stopped by the user: the points read so far stay.
    }
}

void TMainForm::StopSweep()
{
    if (FBusyDepth == 0)
        return;
    FSweepStop = true;
    // The analyzer goes on with its reply: drop it instead of waiting for
    // it, and let a command waiting for the analyzer to go quiet give up.
    if (FSweeping)
        AbandonReply();
    CancelQuietWait();
}

void TMainForm::ShowDraining(bool draining)
{
    drainLabel->setVisible(draining);
    drainLabel->raise();
}

bool TMainForm::StopIfItsSweep(QPushButton *button)
{
    if (!FSweeping)
        return false;
    if (FSweepButton == button)
        StopSweep();
    return true;
}

void TMainForm::RunClick()
{
    if (StopIfItsSweep(runButton) || IsBusy())
        return;
    Guarded([this] {
        const int n = GraphM->Curves()->Count();
        const int k = CurvesPerTrack();
        if (n == 0) {
            AddGraph();
        } else if (n <= k) {
            ClearAll();
            AddGraph();
        } else {
            EmptyNewestTrack(*GraphM->Curves(), k);
        }
        Measure(runButton);
    });
}

void TMainForm::NewClick()
{
    if (StopIfItsSweep(newButton) || IsBusy())
        return;
    Guarded([this] {
        AddGraph();
        Measure(newButton);
    });
}

// ---- repeat mode ------------------------------------------------------------

void TMainForm::btnStartStopClick()
{
    if (FBusyDepth > 0)
        return;
    if (RepThread)
        StopRepeat();
    else if (!IsBusy())
        Guarded([this] { StartRepeat(); });
}

void TMainForm::StartRepeat()
{
    ClearAll();
    GraphM->SetMinXValue(Settings.range_start);
    GraphM->SetMaxXValue(Settings.range_stop);
    FRepeatTracks = std::make_unique<TRepeatGraphTracks>(
        *GraphM,
        [this] {
            AddGraph();
            TCycleStart c;
            c.Mode = Settings.disp_mode;
            c.Rv = Settings.R_vis;
            c.Xv = Settings.X_vis;
            return c;
        },
        [this] { UpdateTracks(); });
    RepThread = std::make_unique<TRepThread>(*FRepeatTracks, CbData, Settings.range_start, Settings.range_stop,
                                             Settings.range_points, Settings.track_limit);
    RepThread->OnEnded = [this](const QString &error) { RepeatEnded(error); };
    RepThread->SetPaused(btnPause->isChecked());
    btnStartStop->setText(QStringLiteral("Stop"));
    UpdateCommandStates();
    RepThread->Start();
}

void TMainForm::StopRepeat()
{
    {
        TBusyScope busy(this);
        RepThread->Stop();
    }
    FinishRepeat();
}

void TMainForm::RepeatEnded(const QString &error)
{
    // Runs inside the worker object, which may go only once this returns.
    QTimer::singleShot(0, this, [this, error] {
        FinishRepeat();
        if (!error.isEmpty() && OnError)
            OnError(error);
    });
}

void TMainForm::FinishRepeat()
{
    if (!RepThread)
        return;
    RepThread.reset();
    FRepeatTracks.reset();
    btnStartStop->setText(QStringLiteral("Start"));
    UpdateCommandStates();
    if (FCloseRequested && FBusyDepth == 0)
        close();
}

void TMainForm::btnPauseClick()
{
    if (RepThread)
        RepThread->SetPaused(btnPause->isChecked());
}

// ---- graph tool buttons -----------------------------------------------------

void TMainForm::ZoomFullClick()
{
    GraphM->SetScaleXY(100);
}

void TMainForm::ZoomAutoClick()
{
    GraphM->SetAutoScaleY();
}

void TMainForm::ClearMarkersClick()
{
    GraphM->ClearMarkers();
}

void TMainForm::SaveImageClick()
{
    Guarded([this] { SaveGraphImage(*GraphM, this); });
}

void TMainForm::SaveDataClick()
{
    Guarded([this] { SaveGraphData(*GraphM->Curves(), Settings.disp_mode, Settings.R_vis, Settings.X_vis, this); });
}

void TMainForm::AboutClick()
{
    FAbout->exec();
}

void TMainForm::NavigatorClick()
{
    GraphM->SetNavigator(!GraphM->Navigator());
}

// ---- readout, marker texts and statistics ---------------------------------------

void TMainForm::GraphMMouseMove(QPoint pos)
{
    // The graph's measuring state is still that of the move before.
    if (GraphM->IsMeasureDown && GraphM->IsMeasureMove) {
        lbCurPos->setText(MeasureText(GraphM->PointToGraphPoint(GraphM->MeasureFrom),
                                      GraphM->PointToGraphPoint(GraphM->MeasureTo), Settings.disp_mode));
        return;
    }
    std::optional<double> right;
    if (Settings.R_vis || Settings.X_vis)
        right = GraphM->PointToGraphPointR(pos).Y;
    lbCurPos->setText(CursorText(GraphM->PointToGraphPoint(pos), Settings.disp_mode, right));
}

void TMainForm::GraphMMarkerGetText(int index, QString &text)
{
    text = MarkerText(GraphM->Markers[size_t(index)], Settings.disp_mode);
}

void TMainForm::InfoClick()
{
    Guarded([this] {
        TSwrSpans spans;
        std::optional<TMinSwr> lowest;
        {
            std::lock_guard<std::recursive_mutex> lock(GraphM->Mutex());
            const TCurves &curves = *GraphM->Curves();
            if (curves.Count() == 0)
                return;
            // The newest track's main curve; with fewer curves than a track
            // has this fails with "Argument out of range".
            const int first = curves.Count() - CurvesPerTrack();
            const TCurve *main = curves.Items(first);
            spans = SwrSpans(main->PointSpan(), GraphM->scMinX, GraphM->scMaxX, Settings.disp_mode);
            auto pointsOf = [&](bool shown, int index) -> std::optional<std::span<const TGraphPoint>> {
                if (!shown)
                    return std::nullopt;
                return curves.Items(index)->PointSpan();
            };
            lowest = MinSwr(main->PointSpan(), Settings.disp_mode, pointsOf(Settings.R_vis, first + 1),
                            pointsOf(Settings.X_vis, first + (Settings.R_vis ? 2 : 1)));
        }
        for (const TGraphPoint &m : spans.Markers)
            GraphM->AddMarker(m.X, m.Y);
        lbStat->setText(lowest ? spans.Text + MinSwrText(*lowest) : spans.Text);
        gbStat->show();
    });
}

void TMainForm::StatCloseClick()
{
    gbStat->hide();
}

// ---- range ------------------------------------------------------------------

void TMainForm::UpdateRangeCaption()
{
    btnFreqRange->setText(FormatFreq(Settings.range_start) + QStringLiteral(" - ") +
                          FormatFreq(Settings.range_stop) + QStringLiteral(" Hz"));
}

void TMainForm::btnFreqRangeClick()
{
    if (gbFreqRange->isHidden()) {
        gbFreqRange->SetBands(BandsUpTo(Analyzer.MaxFreq));
        gbFreqRange->ShowAt(QPoint(btnFreqRange->x(), btnFreqRange->y() + btnFreqRange->height()),
                            Settings.range_start, Settings.range_stop, Settings.range_points);
    } else {
        HideRangeBox();
    }
}

void TMainForm::HideRangeBox()
{
    gbFreqRange->HideTo(btnFreqRange);
}

void TMainForm::btnFreqRangeOKClick()
{
    if (IsBusy())
        return;
    Guarded([this] {
        const TSweepRange r = CheckRange(gbFreqRange->edStartFreq->text(), gbFreqRange->edStopFreq->text(),
                                         gbFreqRange->edPoints->text(), Analyzer.MaxFreq);
        Settings.range_start = r.Start;
        Settings.range_stop = r.Stop;
        Settings.range_points = r.Points;
        HideRangeBox();
        UpdateRangeCaption();
        SaveSettings();
    });
}

void TMainForm::RangeCancelClick()
{
    HideRangeBox();
}

void TMainForm::ViewToRangeClick()
{
    Guarded([this] {
        Settings.range_start = RoundHalfEven(GraphM->scMinX);
        Settings.range_stop = RoundHalfEven(GraphM->scMaxX);
        gbFreqRange->edStartFreq->setText(QString::number(Settings.range_start));
        gbFreqRange->edStopFreq->setText(QString::number(Settings.range_stop));
        UpdateRangeCaption();
        SaveSettings();
    });
}

// ---- display mode -----------------------------------------------------------

void TMainForm::ApplyDispMode()
{
    ClearAll();
    btnDispMode->setText(DispModeCaption(Settings.disp_mode, Settings.R_vis, Settings.X_vis));
    const TValueRange left = DispModeLeftRange(Settings.disp_mode);
    GraphM->SetMinYValue(left.Min);
    GraphM->SetMaxYValue(left.Max);
}

void TMainForm::btnDispModeClick()
{
    if (IsBusy())
        return;
    QAction *entries[] = {swrAction, gammaAction, returnLossAction};
    entries[int(Settings.disp_mode)]->setChecked(true);
    const bool lite = Analyzer.Lite;
    for (QAction *a : DispPopupMenu->actions())
        if (a->isSeparator() || a == rCurveAction || a == xCurveAction)
            a->setVisible(!lite);
    rCurveAction->setChecked(Settings.R_vis && !lite);
    xCurveAction->setChecked(Settings.X_vis && !lite);
    DispPopupMenu->popup(btnDispMode->mapToGlobal(QPoint(0, btnDispMode->height())));
}

void TMainForm::DispModeClick(TDispMode mode)
{
    if (IsBusy() || !IsValidDispMode(int(mode)))
        return;
    Guarded([this, mode] {
        Settings.disp_mode = mode;
        ApplyDispMode();
        SaveSettings();
    });
}

void TMainForm::RCurveClick()
{
    SetCurveShown(Settings.R_vis, rCurveAction->isChecked());
}

void TMainForm::XCurveClick()
{
    SetCurveShown(Settings.X_vis, xCurveAction->isChecked());
}

void TMainForm::SetCurveShown(bool &field, bool shown)
{
    if (IsBusy())
        return;
    Guarded([this, &field, shown] {
        field = shown;
        SaveSettings();
        ApplyDispMode();
    });
}

// ---- calibration ------------------------------------------------------------

void TMainForm::CalibrationClick()
{
    if (IsBusy())
        return;
    Guarded([this] {
        const qint32 xtal = CbData.XTalFreq;
        FCalibration->CbData = CbData;
        FCalibration->MaxFreq = Analyzer.MaxFreq;
        FCalibration->exec();
        // Out of the crystal-check mode however the dialog closed.
        CmdXtalCheckOff();
        if (CbData.XTalFreq != xtal && CbData.XTalFreq > 0)
            CmdSetXtal(CbData.XTalFreq);
    });
}

// The file first: when it cannot be written the error keeps the dialog open
// with its measurements, and the calibration in force stays as it was.
void TMainForm::TakeCalibration(const TCalibrationData &cb)
{
    cb.SaveToFile(FFiles.Calibration);
    CbData = cb;
}
