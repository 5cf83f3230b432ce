#pragma once

#include "AppFiles.h"
#include "CalibrationData.h"
#include "SimOptions.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSerialPort;
class QTabWidget;
class QToolButton;
class QFrame;
class TAnalyzerSim;
class TfrmSimLoad;
class TfrmTracks;
class TGraphM;

// The main window: port and analyzer identification, sweep range and display
// mode, tracks, single sweeps and the graph with its tool buttons.
//
// While a sweep or the identification waits for the analyzer the UI keeps
// processing events, so every handler can be reached in the middle of one.
// IsBusy() is then true: the commands that would start another exchange or
// change the curves are disabled, and refused should one be reached anyway.
class TMainForm : public QWidget
{
    Q_OBJECT
public:
    // The entry of the port list that runs the built-in simulated analyzer.
    static inline const QString kSimulatorEntry = QStringLiteral("Simulator");

    explicit TMainForm(const Vantrel::TAppFiles &files = Vantrel::TAppFiles::BesideExecutable(),
                       QWidget *parent = nullptr);
    ~TMainForm() override;

    // Shows an error's one-line message; an error box unless replaced.
    std::function<void(const QString &)> OnError;
    // How the simulator behind the "Simulator" entry presents itself.
    TSimOptions SimOptions;

    qint32 MaxFreq = 0;
    bool Lite = false;
    Vantrel::TCalibrationData CbData;
    qint32 range_start = 0;
    qint32 range_stop = 0;
    qint32 range_points = 0;
    qint32 disp_mode = 0;
    bool R_vis = false;
    bool X_vis = false;
    qint32 track_limit = 0;

    bool IsBusy() const;
    int CurvesPerTrack() const;
    void AddGraph();
    void Measure();
    void UpdateTracks();

    // The simulated analyzer while "Simulator" is open, else nullptr.
    TAnalyzerSim *Simulator() const { return FSim.get(); }
    TfrmTracks *TracksForm() const;
    TfrmSimLoad *SimLoadForm() const;

    // Event handlers, public so that the whole window can be driven headless.
    void BitBtn1Click();        // Open / Close
    void BitBtn3Click();        // Run
    void BitBtn4Click();        // New
    void btnClearAllClick();    // Clear
    void btnKeepLastClick();    // Keep last
    void BitBtn2Click();        // View to range
    void BitBtn8Click();        // Clear markers
    void SpeedButton1Click();   // Zoom 100%
    void SpeedButton3Click();   // Zoom auto
    void SpeedButton10Click();  // Edit tracks
    void btnFreqRangeClick();
    void btnFreqRangeOKClick();
    void SpeedButton9Click();   // range box cancel
    void btnDispModeClick();
    void SWR1Click(int tag);    // the three display-mode entries
    void R1Click();
    void X1Click();
    void btnTrackLimitClick();
    void N11Click(int tag);     // the track-limit entries

    // Controls.
    QLabel *Label1;
    QComboBox *ComComboBox1;
    QPushButton *BitBtn1;
    QPushButton *btnFreqRange;
    QPushButton *btnDispMode;
    QTabWidget *PageControl1;
    QPushButton *BitBtn3, *BitBtn4, *BitBtn5, *btnClearAll, *BitBtn7, *btnKeepLast, *BitBtn8, *BitBtn2;
    QPushButton *btnStartStop, *btnPause, *btnTrackLimit;
    QPushButton *BitBtn9;
    QPushButton *BitBtn10;
    TGraphM *GraphM;
    QFrame *Panel2;
    QLabel *lbCurPos;
    QFrame *Panel1;
    QToolButton *SpeedButton2, *SpeedButton1, *SpeedButton3, *SpeedButton10, *SpeedButton7;
    QGroupBox *gbFreqRange;
    QLineEdit *edStartFreq, *edStopFreq, *edPoints;
    QToolButton *btnFreqRangeOK, *SpeedButton9;
    QMenu *DispPopupMenu;
    QAction *SWR1, *Gamma1, *Returnloss1, *R1, *X1;
    QMenu *TrackLimitPopupMenu;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class TBusyScope;

    void CreateControls();
    void CreateMenus();
    void FillPortList(const QString &savedPort);
    void PlaceAnchored();
    void UpdateCommandStates();
    void SaveSettings();
    void ApplyDispMode();
    void UpdateRangeCaption();
    void HideRangeBox();
    void UpdateTrackLimitCaption();
    void ClearAll();
    void OpenAnalyzer(const QString &name);
    void ClosePortAndSimulator();
    void ShowBesideGraph(QWidget *tool, int leftOf);
    void OnConnectionLost();
    void SetCurveShown(bool &field, bool shown); // the R and X menu entries
    // Runs a handler, showing its error in the error box.
    void Guarded(const std::function<void()> &handler);

    Vantrel::TAppFiles FFiles;
    QSerialPort *FPort;
    QString FPortName;          // what the settings keep as "port"
    std::unique_ptr<TAnalyzerSim> FSim;
    QPointer<TfrmTracks> FTracks;
    QPointer<TfrmSimLoad> FSimLoad;
    int FBusyDepth = 0;
    bool FCloseRequested = false;
};
