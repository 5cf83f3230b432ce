#include "MainForm.h"

#include "AnalyzerCommands.h"
#include "AnalyzerSim.h"
#include "AppSettings.h"
#include "DispMode.h"
#include "ExchangeGuard.h"
#include "FirmwareId.h"
#include "GraphM.h"
#include "NumberText.h"
#include "RangeCheck.h"
#include "SerialLink.h"
#include "SimLoadForm.h"
#include "Sweep.h"
#include "Tracks.h"
#include "TracksForm.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPort>
#include <QStyle>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>

using namespace Vantrel;

namespace {

constexpr int kDesignWidth = 1088;
constexpr int kOpenSettleMs = 200;
constexpr int kTrackLimits[] = {1, 2, 3, 4, 6, 8, 10, 15, 20, 25, 30};

QIcon StdIcon(QStyle::StandardPixmap p)
{
    return QApplication::style()->standardIcon(p);
}

// Tahoma where it is installed, else a sans face of similar width.
QFont UiFont(int pixelSize, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QPushButton *MakeButton(QWidget *parent, const QString &caption, QStyle::StandardPixmap icon,
                        const QString &hint = QString())
{
    auto *b = new QPushButton(StdIcon(icon), caption, parent);
    b->setToolTip(hint);
    b->setIconSize(QSize(14, 14));
    return b;
}

QToolButton *MakeToolButton(QWidget *parent, QStyle::StandardPixmap icon, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setIcon(StdIcon(icon));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    return b;
}

} // namespace

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

    setWindowTitle(QStringLiteral("Vantrel"));
    setFont(UiFont(11, false));
    resize(kDesignWidth, 589);
    CreateControls();
    CreateMenus();

    SetPort(FPort);
    if (QFile::exists(FFiles.Calibration))
        Guarded([this] { CbData.LoadFromFile(FFiles.Calibration); });

    const TAppSettings s = TAppSettings::Load(FFiles.Settings);
    range_start = s.range_start;
    range_stop = s.range_stop;
    range_points = s.range_points;
    track_limit = s.track_limit;
    disp_mode = s.disp_mode;
    R_vis = s.R_vis;
    X_vis = s.X_vis;
    FPortName = s.port;
    FillPortList(s.port);

    UpdateRangeCaption();
    ApplyDispMode();
    UpdateTrackLimitCaption();

    FTracks = new TfrmTracks(GraphM, this);
    FTracks->Locked = [this] { return IsBusy(); };
    FTracks->OnClear = [this] { btnClearAllClick(); };
    FTracks->OnKeepLast = [this] { btnKeepLastClick(); };
    FSimLoad = new TfrmSimLoad(this);

    connect(&PortMonitor(), &TPortMonitor::ConnectionLost, this, &TMainForm::OnConnectionLost);
    UpdateCommandStates();
}

TMainForm::~TMainForm()
{
    ClosePort();
    SetPort(nullptr);
}

void TMainForm::CreateControls()
{
    Label1 = new QLabel(QStringLiteral("Port"), this);
    Label1->move(8, 11);
    ComComboBox1 = new QComboBox(this);
    ComComboBox1->setEditable(true);
    ComComboBox1->setInsertPolicy(QComboBox::NoInsert);
    // Wider than its 63 pixels of old: device paths are longer than "COM1".
    ComComboBox1->setGeometry(34, 8, 78, 21);
    ComComboBox1->view()->setMinimumWidth(160);

    BitBtn1 = MakeButton(this, QStringLiteral("Open"), QStyle::SP_DialogOpenButton);
    BitBtn1->setGeometry(8, 39, 89, 25);
    btnFreqRange = MakeButton(this, QString(), QStyle::SP_FileDialogDetailedView, QStringLiteral("Frequency range"));
    btnFreqRange->setGeometry(116, 8, 163, 25);
    btnDispMode = MakeButton(this, QString(), QStyle::SP_FileDialogListView);
    btnDispMode->setGeometry(116, 39, 163, 25);

    PageControl1 = new QTabWidget(this);
    // Wider than the 652 pixels the layout was drawn for: the fonts that
    // stand in for Tahoma here are wider, and no caption may be cut.
    PageControl1->setGeometry(285, 11, 700, 60);
    PageControl1->setDocumentMode(true);
    auto *manual = new QWidget;
    auto *ml = new QHBoxLayout(manual);
    ml->setContentsMargins(2, 4, 2, 2);
    ml->setSpacing(3);
    BitBtn3 = MakeButton(manual, QStringLiteral("Run"), QStyle::SP_MediaPlay, QStringLiteral("Run in current track"));
    BitBtn4 = MakeButton(manual, QStringLiteral("New"), QStyle::SP_FileDialogNewFolder, QStringLiteral("Run as new track"));
    BitBtn5 = MakeButton(manual, QStringLiteral("Details"), QStyle::SP_FileDialogContentsView,
                         QStringLiteral("Add extra points to current view"));
    BitBtn5->setEnabled(false);
    btnClearAll = MakeButton(manual, QStringLiteral("Clear"), QStyle::SP_DialogResetButton, QStringLiteral("Delete all tracks"));
    BitBtn7 = MakeButton(manual, QStringLiteral("Info"), QStyle::SP_MessageBoxInformation,
                         QStringLiteral("Show info about last track"));
    btnKeepLast = MakeButton(manual, QStringLiteral("Keep last"), QStyle::SP_TrashIcon,
                             QStringLiteral("Delete all tracks and keep only last"));
    BitBtn8 = MakeButton(manual, QStringLiteral("Clear markers"), QStyle::SP_DialogDiscardButton, QStringLiteral("Clear markers"));
    BitBtn2 = MakeButton(manual, QStringLiteral("View to range"), QStyle::SP_ArrowRight);
    for (QPushButton *b : {BitBtn3, BitBtn4, BitBtn5, btnClearAll, BitBtn7, btnKeepLast, BitBtn8, BitBtn2}) {
        b->setFixedHeight(25);
        ml->addWidget(b);
    }
    ml->addStretch();
    PageControl1->addTab(manual, StdIcon(QStyle::SP_MediaSeekForward), QStringLiteral("Manual"));

    auto *repeat = new QWidget;
    auto *rl = new QHBoxLayout(repeat);
    rl->setContentsMargins(2, 4, 2, 2);
    rl->setSpacing(3);
    btnStartStop = MakeButton(repeat, QStringLiteral("Start"), QStyle::SP_MediaPlay);
    btnPause = MakeButton(repeat, QStringLiteral("Pause"), QStyle::SP_MediaPause);
    btnPause->setCheckable(true);
    btnTrackLimit = MakeButton(repeat, QStringLiteral("Tracks limit = 4"), QStyle::SP_FileDialogListView);
    for (QPushButton *b : {btnStartStop, btnPause, btnTrackLimit}) {
        b->setFixedHeight(25);
        rl->addWidget(b);
    }
    rl->addStretch();
    PageControl1->addTab(repeat, StdIcon(QStyle::SP_BrowserReload), QStringLiteral("Repeat"));

    BitBtn9 = MakeButton(this, QStringLiteral("About"), QStyle::SP_MessageBoxQuestion);
    BitBtn10 = MakeButton(this, QStringLiteral("Calibration"), QStyle::SP_ComputerIcon);

    GraphM = new TGraphM(this);
    GraphM->SetMinXValue(1000000);
    GraphM->SetMaxXValue(30000000);
    GraphM->SetMinYValue(1);
    GraphM->SetMaxYValue(4);
    GraphM->SetMaxYRValue(100);
    GraphM->SetColorAxis(Qt::black);
    GraphM->SetColor(Qt::white);
    GraphM->SetColorGrid(QColor(0xC0, 0xC0, 0xC0));
    GraphM->SetGridX(true);
    GraphM->SetGridY(true);
    GraphM->SetStepScale(100);
    GraphM->SetDecimalHint(1);
    GraphM->SetPrecision(1);
    GraphM->SetShowTextScale(false);
    GraphM->SetScaleMode(smX);
    GraphM->setFocusPolicy(Qt::StrongFocus);

    Panel2 = new QFrame(this);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lbCurPos = new QLabel(Panel2);
    lbCurPos->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbCurPos->setFont(UiFont(13, true));
    lbCurPos->setStyleSheet(QStringLiteral("color: palette(highlight);"));
    lbCurPos->setGeometry(2, 2, 228, 20);

    Panel1 = new QFrame(this);
    Panel1->setAutoFillBackground(true);
    Panel1->setStyleSheet(QStringLiteral("QFrame { background: white; }"));
    SpeedButton2 = MakeToolButton(Panel1, QStyle::SP_DesktopIcon, QStringLiteral("Navigator"));
    SpeedButton1 = MakeToolButton(Panel1, QStyle::SP_TitleBarNormalButton, QStringLiteral("Zoom 100%"));
    SpeedButton3 = MakeToolButton(Panel1, QStyle::SP_TitleBarMaxButton, QStringLiteral("Zoom auto"));
    SpeedButton10 = MakeToolButton(Panel1, QStyle::SP_FileDialogListView, QStringLiteral("Edit tracks"));
    SpeedButton7 = MakeToolButton(Panel1, QStyle::SP_DialogSaveButton, QStringLiteral("Save image"));
    const int tops[] = {8, 39, 70, 118, 164};
    QToolButton *tools[] = {SpeedButton2, SpeedButton1, SpeedButton3, SpeedButton10, SpeedButton7};
    for (int i = 0; i < 5; ++i)
        tools[i]->setGeometry(3, tops[i], 25, 25);

    gbFreqRange = new QGroupBox(QStringLiteral(" Frequency range "), this);
    gbFreqRange->resize(145, 140);
    gbFreqRange->setAutoFillBackground(true);
    const char *labels[] = {"Start freq", "Stop freq", "Points"};
    QLineEdit **edits[] = {&edStartFreq, &edStopFreq, &edPoints};
    const char *texts[] = {"1000000", "30000000", "100"};
    for (int i = 0; i < 3; ++i) {
        auto *l = new QLabel(QString::fromLatin1(labels[i]), gbFreqRange);
        l->move(8, 22 + i * 26);
        *edits[i] = new QLineEdit(QString::fromLatin1(texts[i]), gbFreqRange);
        (*edits[i])->setAlignment(Qt::AlignRight);
        (*edits[i])->setGeometry(62, 18 + i * 26, 75, 21);
        connect(*edits[i], &QLineEdit::returnPressed, this, &TMainForm::btnFreqRangeOKClick);
    }
    btnFreqRangeOK = MakeToolButton(gbFreqRange, QStyle::SP_DialogApplyButton, QString());
    btnFreqRangeOK->setGeometry(62, 104, 32, 28);
    SpeedButton9 = MakeToolButton(gbFreqRange, QStyle::SP_DialogCancelButton, QString());
    SpeedButton9->setGeometry(104, 104, 32, 28);
    gbFreqRange->hide();

    connect(BitBtn1, &QPushButton::clicked, this, &TMainForm::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TMainForm::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TMainForm::BitBtn4Click);
    connect(btnClearAll, &QPushButton::clicked, this, &TMainForm::btnClearAllClick);
    connect(btnKeepLast, &QPushButton::clicked, this, &TMainForm::btnKeepLastClick);
    connect(BitBtn2, &QPushButton::clicked, this, &TMainForm::BitBtn2Click);
    connect(BitBtn8, &QPushButton::clicked, this, &TMainForm::BitBtn8Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TMainForm::SpeedButton1Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TMainForm::SpeedButton3Click);
    connect(SpeedButton10, &QToolButton::clicked, this, &TMainForm::SpeedButton10Click);
    connect(btnFreqRange, &QPushButton::clicked, this, &TMainForm::btnFreqRangeClick);
    connect(btnFreqRangeOK, &QToolButton::clicked, this, &TMainForm::btnFreqRangeOKClick);
    connect(SpeedButton9, &QToolButton::clicked, this, &TMainForm::SpeedButton9Click);
    connect(btnDispMode, &QPushButton::clicked, this, &TMainForm::btnDispModeClick);
    connect(btnTrackLimit, &QPushButton::clicked, this, &TMainForm::btnTrackLimitClick);

    PlaceAnchored();
}

void TMainForm::CreateMenus()
{
    DispPopupMenu = new QMenu(this);
    auto *modes = new QActionGroup(DispPopupMenu);
    QAction **entries[] = {&SWR1, &Gamma1, &Returnloss1};
    for (int tag = 0; tag < DispModeCount; ++tag) {
        QAction *a = DispPopupMenu->addAction(QString::fromLatin1(DispModeNames[tag]));
        a->setCheckable(true);
        a->setData(tag);
        modes->addAction(a);
        connect(a, &QAction::triggered, this, [this, tag] { SWR1Click(tag); });
        *entries[tag] = a;
    }
    DispPopupMenu->addSeparator();
    R1 = DispPopupMenu->addAction(QStringLiteral("R"));
    R1->setCheckable(true);
    connect(R1, &QAction::triggered, this, &TMainForm::R1Click);
    X1 = DispPopupMenu->addAction(QStringLiteral("X"));
    X1->setCheckable(true);
    connect(X1, &QAction::triggered, this, &TMainForm::X1Click);

    TrackLimitPopupMenu = new QMenu(this);
    auto *limits = new QActionGroup(TrackLimitPopupMenu);
    for (int value : kTrackLimits) {
        QAction *a = TrackLimitPopupMenu->addAction(QString::number(value));
        a->setCheckable(true);
        a->setChecked(value == 4);
        a->setData(value);
        limits->addAction(a);
        connect(a, &QAction::triggered, this, [this, value] { N11Click(value); });
    }
}

void TMainForm::FillPortList(const QString &savedPort)
{
    ComComboBox1->addItems(PortNames());
    ComComboBox1->addItem(kSimulatorEntry);
    ComComboBox1->setCurrentIndex(-1);
    if (savedPort.isEmpty())
        return;
    const int i = ComComboBox1->findText(savedPort);
    if (i >= 0)
        ComComboBox1->setCurrentIndex(i);
    else
        ComComboBox1->setEditText(savedPort); // a typed device path the system does not list
}

void TMainForm::PlaceAnchored()
{
    const int w = width(), h = height();
    const int right = w - kDesignWidth; // offset of the controls anchored top right
    BitBtn9->setGeometry(991 + right, 8, 89, 25);
    BitBtn10->setGeometry(991 + right, 39, 89, 25);
    GraphM->setGeometry(8, 73, w - 16, h - 81);
    Panel2->setGeometry(848 + right, 73, 232, 24);
    Panel1->setGeometry(1049 + right, 97, 31, 265);
    Panel2->raise();
    Panel1->raise();
    gbFreqRange->raise();
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
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

TfrmTracks *TMainForm::TracksForm() const
{
    return FTracks;
}

TfrmSimLoad *TMainForm::SimLoadForm() const
{
    return FSimLoad;
}

bool TMainForm::IsBusy() const
{
    return FBusyDepth > 0 || ExchangeBusy();
}

void TMainForm::UpdateCommandStates()
{
    const bool idle = FBusyDepth == 0;
    for (QWidget *w : std::initializer_list<QWidget *>{BitBtn1, BitBtn3, BitBtn4, btnClearAll, btnKeepLast,
                                                       btnFreqRangeOK, btnDispMode, BitBtn10, btnStartStop,
                                                       ComComboBox1})
        w->setEnabled(idle);
    DispPopupMenu->setEnabled(idle);
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
    return Vantrel::CurvesPerTrack(R_vis, X_vis);
}

void TMainForm::SaveSettings()
{
    TAppSettings s;
    s.range_start = range_start;
    s.range_stop = range_stop;
    s.range_points = range_points;
    s.track_limit = track_limit;
    s.port = FPortName;
    s.disp_mode = disp_mode;
    s.R_vis = R_vis;
    s.X_vis = X_vis;
    s.Save(FFiles.Settings);
}

// ---- port and identification ------------------------------------------------

void TMainForm::BitBtn1Click()
{
    if (IsBusy())
        return;
    Guarded([this] {
        if (IsPortOpen()) {
            ClosePortAndSimulator();
            BitBtn1->setText(QStringLiteral("Open"));
            setWindowTitle(QStringLiteral("Vantrel"));
            return;
        }
        OpenAnalyzer(ComComboBox1->currentText().trimmed());
    });
}

void TMainForm::OpenAnalyzer(const QString &name)
{
    TBusyScope busy(this);
    ClosePortAndSimulator();
    if (name == kSimulatorEntry) {
        auto sim = std::make_unique<TAnalyzerSim>(SimOptions);
        sim->Start();
        OpenPort(sim->PortName());
        FSim = std::move(sim);
        FSimLoad->SetSimulator(FSim.get());
        ShowBesideGraph(FSimLoad, 0);
    } else {
        OpenPort(name);
    }
    FPortName = name;
    QThread::msleep(kOpenSettleMs);
    BitBtn1->setText(QStringLiteral("Close"));

    const TFirmwareId id = ParseFirmwareId(CmdGetVersion());
    MaxFreq = id.MaxFreq;
    if (id.HasLiteField())
        Lite = id.Lite;
    if (Lite) {
        R_vis = false;
        X_vis = false;
    }
    setWindowTitle(QStringLiteral("Vantrel [Firmware ") + id.Id + u']');
    if (CbData.XTalFreq > 0)
        CmdSetXtal(CbData.XTalFreq);
    SaveSettings();
}

void TMainForm::ClosePortAndSimulator()
{
    ClosePort();
    if (FSimLoad) {
        FSimLoad->hide();
        FSimLoad->SetSimulator(nullptr);
    }
    FSim.reset();
}

void TMainForm::OnConnectionLost()
{
    BitBtn1->setText(QStringLiteral("Open"));
    setWindowTitle(QStringLiteral("Vantrel"));
}

// ---- tracks -----------------------------------------------------------------

void TMainForm::UpdateTracks()
{
    if (FTracks)
        FTracks->UpdateTracks();
}

void TMainForm::AddGraph()
{
    AddTrack(*GraphM->Curves(), disp_mode, R_vis, X_vis);
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

void TMainForm::SpeedButton10Click()
{
    // Left of the simulated-load window, which opens at the tool strip.
    ShowBesideGraph(FTracks, FSimLoad->width() + 16);
}

void TMainForm::ShowBesideGraph(QWidget *tool, int leftOf)
{
    // Over the graph's top right, left of the tool strip (and leftOf pixels
    // further left), the first time; later where the user left it.
    if (!tool->property("placed").toBool()) {
        const QPoint at = mapToGlobal(QPoint(Panel1->x() - tool->width() - 40 - leftOf, Panel1->y() + 8));
        tool->move(at);
        tool->setProperty("placed", true);
    }
    tool->show();
    tool->raise();
}

void TMainForm::UpdateTrackLimitCaption()
{
    btnTrackLimit->setText(QStringLiteral("Tracks limit = ") + QString::number(track_limit));
}

void TMainForm::btnTrackLimitClick()
{
    for (QAction *a : TrackLimitPopupMenu->actions())
        if (a->data().toInt() == track_limit) {
            a->setChecked(true);
            break;
        }
    TrackLimitPopupMenu->popup(btnTrackLimit->mapToGlobal(QPoint(0, btnTrackLimit->height())));
}

void TMainForm::N11Click(int tag)
{
    track_limit = tag;
    UpdateTrackLimitCaption();
}

// ---- sweeps -----------------------------------------------------------------

void TMainForm::Measure()
{
    TBusyScope busy(this);
    TSweepSettings s;
    s.Start = range_start;
    s.Stop = range_stop;
    s.Points = range_points;
    s.Mode = disp_mode;
    s.Rv = R_vis;
    s.Xv = X_vis;
    Vantrel::Measure(*GraphM, CbData, s);
}

void TMainForm::BitBtn3Click()
{
    if (IsBusy())
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
        Measure();
    });
}

void TMainForm::BitBtn4Click()
{
    if (IsBusy())
        return;
    Guarded([this] {
        AddGraph();
        Measure();
    });
}

// ---- graph tool buttons -----------------------------------------------------

void TMainForm::SpeedButton1Click()
{
    GraphM->SetScaleXY(100);
}

void TMainForm::SpeedButton3Click()
{
    GraphM->SetAutoScaleY();
}

void TMainForm::BitBtn8Click()
{
    GraphM->ClearMarkers();
}

// ---- range ------------------------------------------------------------------

void TMainForm::UpdateRangeCaption()
{
    btnFreqRange->setText(FormatFreq(range_start) + QStringLiteral(" - ") + FormatFreq(range_stop) +
                          QStringLiteral(" Hz"));
}

void TMainForm::btnFreqRangeClick()
{
    if (gbFreqRange->isHidden()) {
        gbFreqRange->move(btnFreqRange->x(), btnFreqRange->y() + btnFreqRange->height());
        gbFreqRange->raise();
        edStartFreq->setText(QString::number(range_start));
        edStopFreq->setText(QString::number(range_stop));
        edPoints->setText(QString::number(range_points));
    }
    if (gbFreqRange->isHidden())
        gbFreqRange->show();
    else
        HideRangeBox();
}

void TMainForm::HideRangeBox()
{
    // Hiding the box with the focus in one of its edits would pass the focus
    // on to the port list, where the next keystroke replaces the port name.
    const bool hadFocus = gbFreqRange->isAncestorOf(focusWidget());
    gbFreqRange->hide();
    if (hadFocus)
        btnFreqRange->setFocus();
}

void TMainForm::btnFreqRangeOKClick()
{
    if (IsBusy())
        return;
    Guarded([this] {
        const TSweepRange r = CheckRange(edStartFreq->text(), edStopFreq->text(), edPoints->text(), MaxFreq);
        range_start = r.Start;
        range_stop = r.Stop;
        range_points = r.Points;
        HideRangeBox();
        UpdateRangeCaption();
        SaveSettings();
    });
}

void TMainForm::SpeedButton9Click()
{
    HideRangeBox();
}

void TMainForm::BitBtn2Click()
{
    Guarded([this] {
        range_start = RoundHalfEven(GraphM->scMinX);
        range_stop = RoundHalfEven(GraphM->scMaxX);
        edStartFreq->setText(QString::number(range_start));
        edStopFreq->setText(QString::number(range_stop));
        UpdateRangeCaption();
        SaveSettings();
    });
}

// ---- display mode -----------------------------------------------------------

void TMainForm::ApplyDispMode()
{
    ClearAll();
    btnDispMode->setText(DispModeCaption(disp_mode, R_vis, X_vis));
    const TValueRange left = DispModeLeftRange(disp_mode);
    GraphM->SetMinYValue(left.Min);
    GraphM->SetMaxYValue(left.Max);
}

void TMainForm::btnDispModeClick()
{
    if (IsBusy())
        return;
    QAction *entries[] = {SWR1, Gamma1, Returnloss1};
    entries[disp_mode]->setChecked(true);
    for (QAction *a : DispPopupMenu->actions())
        if (a->isSeparator() || a == R1 || a == X1)
            a->setVisible(!Lite);
    R1->setChecked(R_vis && !Lite);
    X1->setChecked(X_vis && !Lite);
    DispPopupMenu->popup(btnDispMode->mapToGlobal(QPoint(0, btnDispMode->height())));
}

void TMainForm::SWR1Click(int tag)
{
    if (IsBusy() || !IsValidDispMode(tag))
        return;
    Guarded([this, tag] {
        disp_mode = tag;
        ApplyDispMode();
        SaveSettings();
    });
}

void TMainForm::R1Click()
{
    SetCurveShown(R_vis, R1->isChecked());
}

void TMainForm::X1Click()
{
    SetCurveShown(X_vis, X1->isChecked());
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
