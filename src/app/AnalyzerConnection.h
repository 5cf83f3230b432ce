#pragma once

#include "FirmwareId.h"
#include "SimOptions.h"

#include <QString>

#include <memory>

class TAnalyzerSim;

namespace Vantrel {

// The analyzer the program talks to: opening a serial port (or the built-in
// simulated analyzer behind a pseudo-terminal), identifying it, and closing
// it again. Needs no window; runs on the UI thread, like the port routines.
class TAnalyzerConnection
{
public:
    // The port-list entry that runs the built-in simulated analyzer.
    static inline const QString kSimulatorEntry = QStringLiteral("Simulator");

    TAnalyzerConnection();
    ~TAnalyzerConnection();
    TAnalyzerConnection(const TAnalyzerConnection &) = delete;
    TAnalyzerConnection &operator=(const TAnalyzerConnection &) = delete;

    // How the simulator behind kSimulatorEntry presents itself.
    TSimOptions SimOptions;

    // What the last identification said: the highest frequency in Hz (0
    // before any), and whether the analyzer is the lite variant (kept from
    // before when the firmware text does not tell).
    qint32 MaxFreq = 0;
    bool Lite = false;

    // Closes whatever is open, opens name (a device path, or
    // kSimulatorEntry), lets the analyzer settle, reads its identification
    // ("w") and, with xtal > 0, tells it its crystal frequency ("x").
    // Returns the identification. When only the exchange fails, the port
    // stays open (IsOpen() tells).
    TFirmwareId Open(const QString &name, qint32 xtal);
    void Close();
    bool IsOpen() const;

    // The simulated analyzer while kSimulatorEntry is open, else nullptr.
    TAnalyzerSim *Simulator() const { return FSim.get(); }

private:
    std::unique_ptr<TAnalyzerSim> FSim;
};

} // namespace Vantrel
