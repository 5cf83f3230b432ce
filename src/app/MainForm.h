#pragma once

#include "AnalyzerConnection.h"
#include "AppFiles.h"
#include "AppSettings.h"
#include "CalibrationData.h"
#include "PortComboBox.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSerialPort;
class QTabWidget;
class QToolButton;
class TFreqDigitEditor;
class TFreqRangeBox;
class TfrmAbout;
class TfrmCalibration;
class TfrmSimLoad;
class TfrmTracks;
class TGraphM;
namespace Vantrel {
class TRepThread;
class TRepeatGraphTracks;
}

// The main window: port and analyzer identification, sweep range and display
// mode, tracks, single sweeps and the graph with its tool buttons. It wires
// its controls to the units that do the work; the controls are made and
// placed in MainFormControls.cpp.
//
// While a sweep or the identification waits for the analyzer the UI keeps
// processing events, so every handler can be reached in the middle of one.
// IsBusy() is then true: the commands that would start another exchange or
// change the curves are disabled, and refused should one be reached anyway.
// The same holds while the repeat mode's worker runs, until Stop.
class TMainForm : public QWidget
{
    Q_OBJECT
public:
    static inline const QString kSimulatorEntry = Vantrel::TAnalyzerConnection::kSimulatorEntry;

    explicit TMainForm(const Vantrel::TAppFiles &files = Vantrel::TAppFiles::BesideExecutable(),
                       QWidget *parent = nullptr);
    ~TMainForm() override;

    // Shows an error's one-line message; an error box unless replaced.
    std::function<void(const QString &)> OnError;

    // The analyzer: its port or the simulator, MaxFreq and Lite.
    Vantrel::TAnalyzerConnection Analyzer;
    Vantrel::TCalibrationData CbData;
    // What the settings file keeps; written whenever one of them changes.
    Vantrel::TAppSettings Settings;
    // The repeat mode's worker while it runs.
    std::unique_ptr<Vantrel::TRepThread> RepThread;

    bool IsBusy() const;
    int CurvesPerTrack() const;
    void AddGraph();
    // One single sweep into the newest track; stopButton, if any, shows
    // "Stop" meanwhile and stops it.
    void Measure(QPushButton *stopButton = nullptr);
    // Escape: ends a single sweep within moments, keeping its points; the
    // analyzer's rest of the reply is dropped while it comes.
    void StopSweep();
    void UpdateTracks();

    TfrmTracks *TracksForm() const;
    TfrmAbout *AboutForm() const { return FAbout; }
    TfrmSimLoad *SimLoadForm() const;
    TfrmCalibration *CalibrationForm() const;

    // Event handlers, public so that the whole window can be driven headless.
    void OpenClick();           // "Open" / "Close"
    // Chooses name in the port list and opens it (the command line's --port).
    void OpenPortNamed(const QString &name);
    void RunClick();
    void NewClick();
    void btnClearAllClick();
    void btnKeepLastClick();
    void ViewToRangeClick();
    void ClearMarkersClick();
    void SaveImageClick();
    void SaveDataClick();       // the visible tracks as CSV
    void AboutClick();
    void NavigatorClick();
    void InfoClick();           // the " SWR <= 2 " box
    void StatCloseClick();      // its "x"
    void GraphMMouseMove(QPoint pos);
    void GraphMMarkerGetText(int index, QString &text);
    void ZoomFullClick();
    void ZoomAutoClick();
    void EditTracksClick();
    void btnFreqRangeClick();
    void btnFreqRangeOKClick();
    void RangeCancelClick();
    void btnDispModeClick();
    void DispModeClick(Vantrel::TDispMode mode);
    void RCurveClick();
    void XCurveClick();
    void btnStartStopClick();
    void btnPauseClick();
    void btnTrackLimitClick();
    void TrackLimitClick(int limit);
    // The calibration dialog, modal to this window, on a copy of CbData;
    // "o" after it closes, and "x" when a saved calibration brought a new
    // crystal frequency.
    void CalibrationClick();

    // Controls.
    QLabel *portLabel;
    TPortComboBox *portComboBox;
    QPushButton *openButton;
    QPushButton *btnFreqRange;
    QPushButton *btnDispMode;
    QTabWidget *modePages;      // "Manual" and "Repeat"
    QPushButton *runButton, *newButton, *detailsButton, *btnClearAll, *infoButton, *btnKeepLast,
        *clearMarkersButton, *viewToRangeButton;
    QPushButton *btnStartStop, *btnPause, *btnTrackLimit;
    QPushButton *aboutButton;
    QPushButton *calibrationButton;
    TGraphM *GraphM;
    QFrame *cursorPanel;
    QLabel *lbCurPos;
    QLabel *drainLabel;         // shown while the analyzer finishes a stopped sweep
    QFrame *toolPanel;
    QToolButton *navigatorButton, *zoomFullButton, *zoomAutoButton, *editTracksButton, *saveImageButton,
        *saveDataButton;
    TFreqRangeBox *gbFreqRange;
    TFreqDigitEditor *pnFreqEdit;  // under the range box's start and stop edits
    QGroupBox *gbStat;
    QLabel *lbStat;
    QToolButton *statCloseButton;
    QMenu *DispPopupMenu;
    QAction *swrAction, *gammaAction, *returnLossAction, *rCurveAction, *xCurveAction;
    QMenu *TrackLimitPopupMenu;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class TBusyScope;

    void CreateControls();
    void CreateMenus();
    void ConnectControls();
    void PlaceAnchored();
    void FillPortList(const QString &savedPort);
    void UpdateCommandStates();
    void SaveSettings();
    void ApplyDispMode();
    void UpdateRangeCaption();
    void HideRangeBox();
    void UpdateTrackLimitCaption();
    void UpdateConnectionState();
    void ClearAll();
    void OpenAnalyzer(const QString &name);
    void ClosePortAndSimulator();
    void StartRepeat();
    void StopRepeat();
    void RepeatEnded(const QString &error);
    void FinishRepeat();
    void ShowDraining(bool draining);
    // During a single sweep: stops it when button started it; true.
    bool StopIfItsSweep(QPushButton *button);
    void ShowBesideGraph(QWidget *tool, int leftOf);
    void TakeCalibration(const Vantrel::TCalibrationData &cb);
    void SetCurveShown(bool &field, bool shown); // the R and X menu entries
    // Runs a handler, showing its error in the error box.
    void Guarded(const std::function<void()> &handler);

    Vantrel::TAppFiles FFiles;
    QSerialPort *FPort;
    QPointer<TfrmTracks> FTracks;
    std::unique_ptr<TfrmSimLoad> FSimLoad;
    QPointer<TfrmCalibration> FCalibration;
    std::unique_ptr<Vantrel::TRepeatGraphTracks> FRepeatTracks;
    TfrmAbout *FAbout;
    int FBusyDepth = 0;
    bool FCloseRequested = false;
    QPushButton *FSweepButton = nullptr; // "Run" or "New" while its sweep runs
    bool FSweeping = false;              // a single sweep runs
    bool FSweepStop = false;
};
