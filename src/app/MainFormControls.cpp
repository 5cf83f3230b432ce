// The main window's controls: how they are made, captioned and placed.
#include "MainForm.h"

#include "DispMode.h"
#include "FreqDigitEditor.h"
#include "FreqRangeBox.h"
#include "GraphM.h"
#include "PortComboBox.h"
#include "UiFont.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

using namespace Vantrel;

namespace {

constexpr int kDesignWidth = 1088;
constexpr int kTrackLimits[] = {1, 2, 3, 4, 6, 8, 10, 15, 20, 25, 30};

QIcon StdIcon(QStyle::StandardPixmap p)
{
    return QApplication::style()->standardIcon(p);
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

// A page of the mode pages: its buttons in a row, 25 pixels high.
QWidget *ButtonPage(std::initializer_list<QPushButton *> buttons)
{
    auto *page = new QWidget;
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(2, 4, 2, 2);
    row->setSpacing(3);
    for (QPushButton *b : buttons) {
        b->setFixedHeight(25);
        row->addWidget(b);
    }
    row->addStretch();
    return page;
}

} // namespace

void TMainForm::CreateControls()
{
    setWindowTitle(QStringLiteral("Vantrel"));
    setFont(UiFont(11));
    resize(kDesignWidth, 589);

    portLabel = new QLabel(QStringLiteral("Port"), this);
    portLabel->move(8, 11);
    portComboBox = new TPortComboBox(this);
    // Wider than its 63 pixels of old: device paths are longer than "COM1".
    portComboBox->setGeometry(34, 8, 78, 21);

    openButton = MakeButton(this, QStringLiteral("Open"), QStyle::SP_DialogOpenButton);
    openButton->setGeometry(8, 39, 89, 25);
    btnFreqRange = MakeButton(this, QString(), QStyle::SP_FileDialogDetailedView, QStringLiteral("Frequency range"));
    btnFreqRange->setGeometry(116, 8, 163, 25);
    btnDispMode = MakeButton(this, QString(), QStyle::SP_FileDialogListView);
    btnDispMode->setGeometry(116, 39, 163, 25);

    modePages = new QTabWidget(this);
    // Wider than the 652 pixels the layout was drawn for: the fonts that
    // stand in for Tahoma here are wider, and no caption may be cut.
    modePages->setGeometry(285, 11, 700, 60);
    modePages->setDocumentMode(true);
    runButton = MakeButton(nullptr, QStringLiteral("Run"), QStyle::SP_MediaPlay, QStringLiteral("Run in current track"));
    newButton = MakeButton(nullptr, QStringLiteral("New"), QStyle::SP_FileDialogNewFolder, QStringLiteral("Run as new track"));
    detailsButton = MakeButton(nullptr, QStringLiteral("Details"), QStyle::SP_FileDialogContentsView,
                               QStringLiteral("Add extra points to current view"));
    detailsButton->setEnabled(false);
    btnClearAll = MakeButton(nullptr, QStringLiteral("Clear"), QStyle::SP_DialogResetButton, QStringLiteral("Delete all tracks"));
    infoButton = MakeButton(nullptr, QStringLiteral("Info"), QStyle::SP_MessageBoxInformation,
                            QStringLiteral("Show info about last track"));
    btnKeepLast = MakeButton(nullptr, QStringLiteral("Keep last"), QStyle::SP_TrashIcon,
                             QStringLiteral("Delete all tracks and keep only last"));
    clearMarkersButton = MakeButton(nullptr, QStringLiteral("Clear markers"), QStyle::SP_DialogDiscardButton,
                                    QStringLiteral("Clear markers"));
    viewToRangeButton = MakeButton(nullptr, QStringLiteral("View to range"), QStyle::SP_ArrowRight);
    modePages->addTab(ButtonPage({runButton, newButton, detailsButton, btnClearAll, infoButton, btnKeepLast,
                                  clearMarkersButton, viewToRangeButton}),
                      StdIcon(QStyle::SP_MediaSeekForward), QStringLiteral("Manual"));

    btnStartStop = MakeButton(nullptr, QStringLiteral("Start"), QStyle::SP_MediaPlay);
    btnPause = MakeButton(nullptr, QStringLiteral("Pause"), QStyle::SP_MediaPause);
    btnPause->setCheckable(true);
    btnTrackLimit = MakeButton(nullptr, QStringLiteral("Tracks limit = 4"), QStyle::SP_FileDialogListView);
    modePages->addTab(ButtonPage({btnStartStop, btnPause, btnTrackLimit}), StdIcon(QStyle::SP_BrowserReload),
                      QStringLiteral("Repeat"));

    aboutButton = MakeButton(this, QStringLiteral("About"), QStyle::SP_MessageBoxQuestion);
    calibrationButton = MakeButton(this, QStringLiteral("Calibration"), QStyle::SP_ComputerIcon);

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

    cursorPanel = new QFrame(this);
    cursorPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lbCurPos = new QLabel(cursorPanel);
    lbCurPos->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbCurPos->setFont(UiFont(13, true));
    lbCurPos->setStyleSheet(QStringLiteral("color: palette(highlight);"));
    lbCurPos->setGeometry(2, 2, 228, 20);

    drainLabel = new QLabel(QStringLiteral("Sweep stopped: waiting for the analyzer to finish sending its readings"
                                           " (Close the port to stop waiting)"),
                            this);
    drainLabel->setStyleSheet(QStringLiteral("QLabel { background: #FFF3B0; border: 1px solid #C8A800; padding: 3px; }"));
    drainLabel->adjustSize();
    drainLabel->hide();

    toolPanel = new QFrame(this);
    toolPanel->setAutoFillBackground(true);
    toolPanel->setStyleSheet(QStringLiteral("QFrame { background: white; }"));
    navigatorButton = MakeToolButton(toolPanel, QStyle::SP_DesktopIcon, QStringLiteral("Navigator"));
    zoomFullButton = MakeToolButton(toolPanel, QStyle::SP_TitleBarNormalButton, QStringLiteral("Zoom 100%"));
    zoomAutoButton = MakeToolButton(toolPanel, QStyle::SP_TitleBarMaxButton, QStringLiteral("Zoom auto"));
    editTracksButton = MakeToolButton(toolPanel, QStyle::SP_FileDialogListView, QStringLiteral("Edit tracks"));
    saveImageButton = MakeToolButton(toolPanel, QStyle::SP_DialogSaveButton, QStringLiteral("Save image"));
    saveDataButton = MakeToolButton(toolPanel, QStyle::SP_FileIcon, QStringLiteral("Save data"));
    const int tops[] = {8, 39, 70, 118, 164, 195};
    QToolButton *tools[] = {navigatorButton, zoomFullButton, zoomAutoButton, editTracksButton, saveImageButton,
                            saveDataButton};
    for (int i = 0; i < 6; ++i)
        tools[i]->setGeometry(3, tops[i], 25, 25);

    gbFreqRange = new TFreqRangeBox(this);
    pnFreqEdit = new TFreqDigitEditor(this);

    gbStat = new QGroupBox(QStringLiteral(" SWR <= 2 "), this);
    gbStat->setAutoFillBackground(true);
    lbStat = new QLabel(gbStat);
    lbStat->setGeometry(8, 18, 146, 152);
    lbStat->setWordWrap(true);
    lbStat->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    statCloseButton = new QToolButton(gbStat);
    statCloseButton->setText(QStringLiteral("x"));
    statCloseButton->setAutoRaise(true);
    statCloseButton->setGeometry(143, 2, 17, 17);
    gbStat->hide();
    PlaceAnchored();
}

void TMainForm::CreateMenus()
{
    DispPopupMenu = new QMenu(this);
    auto *modes = new QActionGroup(DispPopupMenu);
    QAction **entries[] = {&swrAction, &gammaAction, &returnLossAction};
    for (int tag = 0; tag < DispModeCount; ++tag) {
        QAction *a = DispPopupMenu->addAction(QString::fromLatin1(DispModeNames[tag]));
        a->setCheckable(true);
        a->setData(tag);
        modes->addAction(a);
        connect(a, &QAction::triggered, this, [this, tag] { DispModeClick(TDispMode(tag)); });
        *entries[tag] = a;
    }
    DispPopupMenu->addSeparator();
    rCurveAction = DispPopupMenu->addAction(QStringLiteral("R"));
    rCurveAction->setCheckable(true);
    connect(rCurveAction, &QAction::triggered, this, &TMainForm::RCurveClick);
    xCurveAction = DispPopupMenu->addAction(QStringLiteral("X"));
    xCurveAction->setCheckable(true);
    connect(xCurveAction, &QAction::triggered, this, &TMainForm::XCurveClick);

    TrackLimitPopupMenu = new QMenu(this);
    auto *limits = new QActionGroup(TrackLimitPopupMenu);
    for (int value : kTrackLimits) {
        QAction *a = TrackLimitPopupMenu->addAction(QString::number(value));
        a->setCheckable(true);
        a->setChecked(value == 4);
        a->setData(value);
        limits->addAction(a);
        connect(a, &QAction::triggered, this, [this, value] { TrackLimitClick(value); });
    }
}

void TMainForm::PlaceAnchored()
{
    const int w = width(), h = height();
    const int right = w - kDesignWidth; // offset of the controls anchored top right
    aboutButton->setGeometry(991 + right, 8, 89, 25);
    calibrationButton->setGeometry(991 + right, 39, 89, 25);
    GraphM->setGeometry(8, 73, w - 16, h - 81);
    cursorPanel->setGeometry(848 + right, 73, 232, 24);
    toolPanel->setGeometry(1049 + right, 97, 31, 265);
    gbStat->setGeometry(880 + right, 103, 163, 175);
    drainLabel->move(70, h - 60 - drainLabel->height());
    cursorPanel->raise();
    toolPanel->raise();
    gbStat->raise();
    gbFreqRange->raise();
    pnFreqEdit->raise();
}

void TMainForm::ShowBesideGraph(QWidget *tool, int leftOf)
{
    // Over the graph's top right, left of the tool strip (and leftOf pixels
    // further left), the first time; later where the user left it.
    if (!tool->property("placed").toBool()) {
        const QPoint at = mapToGlobal(QPoint(toolPanel->x() - tool->width() - 40 - leftOf, toolPanel->y() + 8));
        tool->move(at);
        tool->setProperty("placed", true);
    }
    tool->show();
    tool->raise();
}
