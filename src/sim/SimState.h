#pragma once

#include "ReplyStream.h"
#include "SimCommand.h"
#include "SimLoad.h"
#include "SimOptions.h"

#include <QByteArray>
#include <QList>

#include <condition_variable>
#include <mutex>
#include <optional>

// Everything the analyzer remembers, shared between the serving thread and
// the controlling (test) thread; each member locks for itself.
class TSimState {
public:
    explicit TSimState(const TSimOptions &options);

    TSimOptions Options() const;
    void SetPaced(bool paced);
    bool Paced() const;
    // Highest frequency in MHz, the third "."-field of the firmware text.
    int MaxMHz() const;

    TSimLoad Load() const;
    void SetLoad(const TSimLoad &load);
    // Reading of the current load at hz.
    int RawCount(qint64 hz, bool seriesR) const;

    qint32 Frequency() const;
    qint32 XtalFreq() const;
    bool SeriesR() const;
    bool XtalCheckMode() const;

    // Acts on one command; returns the reply to send, if it has one.
    std::optional<TReplyStream> Execute(const TSimCommand &cmd);
    int CommandsHandled() const;
    bool WaitForCommands(int total, int timeoutMs) const;

    void LogReceived(const QByteArray &bytes, const QList<QByteArray> &commands);
    QByteArray ReceivedBytes() const;
    QList<QByteArray> ReceivedCommands() const;
    void ClearLog();

    TReplyFormat ReplyFormat() const;
    void InjectNulBytes(bool on);
    void InjectGarbageLine(int replyIndex);
    void DropReplyLine(int replyIndex);
    void DelayReplyLine(int replyIndex, int ms);
    void HangUpAfter(int replies);

private:
    mutable std::mutex FLock;
    mutable std::condition_variable FHandledChanged;
    TSimOptions FOptions;
    int FMaxMHz = 150;
    TSimLoad FLoad;
    qint32 FFreq = 1000000;
    qint32 FXtal = 0;
    bool FSeriesR = false;
    bool FXtalCheck = false;
    int FHandled = 0;
    QByteArray FRxBytes;
    QList<QByteArray> FRxCommands;
    bool FNulBytes = false;
    TSweepFaults FFaults; // for the next sweep
};
