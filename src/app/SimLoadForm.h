#pragma once

#include "SimLoad.h"

#include <QWidget>

class QButtonGroup;
class TAnalyzerSim;

// The "Simulated load" tool window: picks what hangs on the simulated
// analyzer's jack while the simulator is open.
class TfrmSimLoad : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmSimLoad(QWidget *owner);

    // The simulator the choice goes to (nullptr: none); shows its load.
    void SetSimulator(TAnalyzerSim *sim);

    // Chooses a load as a click on its entry would.
    void Choose(TSimLoadKind kind);

private:
    TAnalyzerSim *FSim = nullptr;
    QButtonGroup *FGroup;
};
