#include "SimState.h"

#include "SimModel.h"

#include <chrono>
#include <utility>

namespace {

int MaxMHzOf(const QByteArray &firmware)
{
    QByteArray id = firmware;
    if (id.startsWith("SWR "))
        id = id.mid(4);
    const QList<QByteArray> fields = id.split('.');
    bool ok = false;
    const int mhz = fields.size() >= 3 ? fields[2].toInt(&ok) : 0;
    return ok && mhz >= 1 ? qMin(mhz, SimModel::kBands) : SimModel::kBands;
}

} // namespace

TSimState::TSimState(const TSimOptions &options)
    : FOptions(options), FMaxMHz(MaxMHzOf(options.Firmware))
{
}

TSimOptions TSimState::Options() const
{
    std::lock_guard lock(FLock);
    return FOptions;
}

void TSimState::SetPaced(bool paced)
{
    std::lock_guard lock(FLock);
    FOptions.Paced = paced;
}

bool TSimState::Paced() const
{
    std::lock_guard lock(FLock);
    return FOptions.Paced;
}

int TSimState::MaxMHz() const
{
    return FMaxMHz; // fixed at construction
}

TSimLoad TSimState::Load() const
{
    std::lock_guard lock(FLock);
    return FLoad;
}

void TSimState::SetLoad(const TSimLoad &load)
{
    std::lock_guard lock(FLock);
    FLoad = load;
}

int TSimState::RawCount(qint64 hz, bool seriesR) const
{
    return SimModel::RawCount(Load(), hz, seriesR, FMaxMHz);
}

qint32 TSimState::Frequency() const
{
    std::lock_guard lock(FLock);
    return FFreq;
}

qint32 TSimState::XtalFreq() const
{
    std::lock_guard lock(FLock);
    return FXtal;
}

bool TSimState::SeriesR() const
{
    std::lock_guard lock(FLock);
    return FSeriesR;
}

bool TSimState::XtalCheckMode() const
{
    std::lock_guard lock(FLock);
    return FXtalCheck;
}

std::optional<TReplyStream> TSimState::Execute(const TSimCommand &cmd)
{
    using K = TSimCommand::TKind;
    std::optional<TReplyStream> reply;
    {
        std::lock_guard lock(FLock);
        switch (cmd.Kind) {
        case K::SetFreq: FFreq = cmd.A; break;
        case K::SeriesOn: FSeriesR = true; break;
        case K::SeriesOff: FSeriesR = false; break;
        case K::SetXtal: FXtal = cmd.A; break;
        case K::XtalCheckOn: FXtalCheck = true; break;
        case K::XtalCheckOff: FXtalCheck = false; break;
        case K::Version: reply = TReplyStream::Single(FOptions.Firmware); break;
        case K::Sweep:
            // The one-shot faults belong to this sweep even when it has no points.
            if (cmd.B > 0)
                reply = TReplyStream::Sweep(FFreq, cmd.A, cmd.B, FSeriesR, std::exchange(FFaults, {}));
            else
                FFaults = {};
            break;
        case K::Unknown: break;
        }
        ++FHandled;
    }
    FHandledChanged.notify_all();
    return reply;
}

int TSimState::CommandsHandled() const
{
    std::lock_guard lock(FLock);
    return FHandled;
}

bool TSimState::WaitForCommands(int total, int timeoutMs) const
{
    std::unique_lock lock(FLock);
    return FHandledChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return FHandled >= total; });
}

void TSimState::LogReceived(const QByteArray &bytes, const QList<QByteArray> &commands)
{
    std::lock_guard lock(FLock);
    FRxBytes += bytes;
    FRxCommands += commands;
}

QByteArray TSimState::ReceivedBytes() const
{
    std::lock_guard lock(FLock);
    return FRxBytes;
}

QList<QByteArray> TSimState::ReceivedCommands() const
{
    std::lock_guard lock(FLock);
    return FRxCommands;
}

void TSimState::ClearLog()
{
    std::lock_guard lock(FLock);
    FRxBytes.clear();
    FRxCommands.clear();
}

TReplyFormat TSimState::ReplyFormat() const
{
    std::lock_guard lock(FLock);
    return {FOptions.LineEnd, FNulBytes};
}

void TSimState::InjectNulBytes(bool on)
{
    std::lock_guard lock(FLock);
    FNulBytes = on;
}

void TSimState::InjectGarbageLine(int replyIndex)
{
    std::lock_guard lock(FLock);
    FFaults.GarbageBefore.insert(replyIndex);
}

void TSimState::DropReplyLine(int replyIndex)
{
    std::lock_guard lock(FLock);
    FFaults.Drop.insert(replyIndex);
}

void TSimState::DelayReplyLine(int replyIndex, int ms)
{
    std::lock_guard lock(FLock);
    FFaults.DelayMs[replyIndex] = ms;
}

void TSimState::HangUpAfter(int replies)
{
    std::lock_guard lock(FLock);
    FFaults.HangUpAfter = replies;
}
