#pragma once

#include "SimLoad.h"
#include "SimOptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <complex>
#include <memory>

class TSimServer;
class TSimState;

// A simulated antenna analyzer behind a POSIX pseudo-terminal. It speaks the
// analyzer's command set on the slave side (PortName), which a serial port
// client opens like a real port, and answers "r" sweeps from a physical
// model of its detector and of the selected load.
class TAnalyzerSim {
public:
    explicit TAnalyzerSim(TSimOptions opt = {});
    ~TAnalyzerSim();                      // stops
    TAnalyzerSim(const TAnalyzerSim &) = delete;
    TAnalyzerSim &operator=(const TAnalyzerSim &) = delete;

    void Start();                         // creates the pty and the serving thread; throws std::runtime_error on failure
    void Stop();                          // hangs up (closes master) and joins
    bool IsRunning() const;               // false before Start, after Stop and after a hang-up
    QString PortName() const;             // slave path, e.g. /dev/pts/7
    void SetLoad(const TSimLoad &load);   // thread-safe, takes effect for the next reading
    TSimLoad Load() const;
    void SetPaced(bool);
    int MaxMHz() const;                   // highest frequency, from the firmware text

    // The physical model
    std::complex<double> LoadImpedance(double hz) const;  // the load on the jack (without the series resistor)
    int OpenLevel(int mhz) const;          // true open-load count; band k covers k..k+1 MHz, below 1 MHz band 1
    double Slope() const;                  // true detector slope, dB per count
    // Reading of the current load at hz: OpenLevel + 20*log10|Gamma| / Slope,
    // rounded, Gamma against 50 ohm of the load (plus 51 ohm with seriesR).
    // Never below SimModel::kCountFloor (40), which a matched load reads;
    // above the firmware's highest frequency it is the open level.
    int RawCount(qint32 hz, bool seriesR) const;

    // State set by the commands
    qint32 Frequency() const;              // last "f" value (1 MHz at first)
    qint32 XtalFreq() const;               // last "x" value (0 if none)
    bool SeriesR() const;
    bool XtalCheckMode() const;
    // Commands acted on so far; a command that follows a sweep waits for its replies.
    int CommandsHandled() const;
    // Waits until CommandsHandled() >= total; false on timeout.
    bool WaitForCommands(int total, int timeoutMs) const;

    // The wire log: every byte received, in order, and the commands cut at CR (or LF)
    QByteArray ReceivedBytes() const;
    QList<QByteArray> ReceivedCommands() const; // without the line end
    void ClearLog();

    // Fault injection; each applies to the next "r" sweep (reply indexes 0-based
    // within it) and is used up by it, except the NUL bytes, which stay on.
    void InjectNulBytes(bool on);          // NUL bytes inside every reply line
    void InjectGarbageLine(int replyIndex);// a non-numeric line before reply replyIndex
    void DropReplyLine(int replyIndex);    // reply replyIndex is never sent
    void DelayReplyLine(int replyIndex, int ms); // reply replyIndex sent ms later than scheduled
    void HangUpAfter(int replies);         // after that many reply lines of the next sweep, hang up

private:
    std::unique_ptr<TSimState> FState;
    std::unique_ptr<TSimServer> FServer;
};
