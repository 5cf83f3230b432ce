#pragma once

#include "SimLoad.h"

#include <QWidget>

class QButtonGroup;
class TAnalyzerSim;

// The "Simulated load" tool window: picks what hangs on the simulated
// analyzer's jack while the simulator is open. A window of its own, outside
// the main window's family, so that the calibration dialog (modal to the main
// window) leaves it usable: the user swaps loads between the calibration
// steps as on a real analyzer's jack.
class TfrmSimLoad : public QWidget
{
    Q_OBJECT
public:
    TfrmSimLoad();

    // The simulator the choice goes to (nullptr: none); shows its load.
    void SetSimulator(TAnalyzerSim *sim);

    // Chooses a load as a click on its entry would.
    void Choose(TSimLoadKind kind);

private:
    TAnalyzerSim *FSim = nullptr;
    QButtonGroup *FGroup;
};
