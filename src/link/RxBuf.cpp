#include "RxBuf.h"

#include "ExchangeGuard.h"
#include "ReplyDrain.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <stdexcept>

namespace Vantrel {

namespace {

// Milliseconds on a monotonic clock.
qint64 Clock()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

TRxBuf::TRxBuf() = default;

// Searches buf from byte index `from` (0-based) for the first CR. Callers
// only skip a prefix that is known to hold no CR, so the result is the first
// CR of the whole buffer.
void TRxBuf::FindFirstCR(qsizetype from)
{
    const qsizetype i = buf.indexOf('\r', from);
    CRIdx = i >= 0 ? qint32(i + 1) : -1;
}

// Appends the chunk line by line, each line keeping at most kMaxLineBytes
// besides a leading LF.
void TRxBuf::AppendCapped(QByteArrayView chunk)
{
    while (!chunk.isEmpty()) {
        const qsizetype cr = chunk.indexOf('\r');
        const QByteArrayView body = cr < 0 ? chunk : chunk.first(cr);
        if (FTailLen == 0 && body.startsWith('\n'))
            FTailLF = true;
        const qsizetype room = kMaxLineBytes + (FTailLF ? 1 : 0) - FTailLen;
        const qsizetype take = qMin(body.size(), qMax<qsizetype>(room, 0));
        buf.append(body.first(take));
        FTailLen += take;
        if (cr < 0)
            return;
        buf.append('\r');
        FTailLen = 0;
        FTailLF = false;
        chunk = chunk.sliced(cr + 1);
    }
}

void TRxBuf::OnRxBuf(const char *Buffer, qint32 Count)
{
    if (Count <= 0)
        return;
    FLastChunkMs = Clock();
    if (FDiscarding)
        return;
    bool lineReady;
    {
        std::lock_guard lock(CS);
        const qsizetype oldSize = buf.size();
        AppendCapped(QByteArrayView(Buffer, Count));
        if (CRIdx <= 0)
            FindFirstCR(oldSize);
        lineReady = CRIdx > 0;
    }
    if (lineReady) {
        FLineCond.notify_all();
        emit WakeUp();
    }
}

// With CS held.
void TRxBuf::EmptyBuffer()
{
    buf.clear();
    CRIdx = 0;
    FTailLen = 0;
    FTailLF = false;
}

void TRxBuf::ClearBuffers()
{
    std::lock_guard lock(CS);
    EmptyBuffer();
}

bool TRxBuf::ReadLine(QString &line)
{
    QByteArray bytes;
    {
        std::lock_guard lock(CS);
        if (CRIdx <= 0)
            return false;
        const qsizetype start = buf.startsWith('\n') ? 1 : 0;
        bytes = buf.mid(start, CRIdx - 1 - start);
        buf.remove(0, CRIdx);
        FindFirstCR(0);
    }
    line = QString::fromLatin1(bytes);
    return true;
}

void TRxBuf::CancelWaits()
{
    {
        // Taking the lock orders the bump with a waiter's predicate check,
        // so no waiter can miss it.
        std::lock_guard lock(CS);
        FCancelled = true;
        ++FEpoch;
    }
    FLineCond.notify_all();
    emit WakeUp();
}

void TRxBuf::SetDiscarding(bool on)
{
    {
        std::lock_guard lock(CS);
        FLastChunkMs = Clock();
        FDiscarding = on;
        if (!on)
            return;
        EmptyBuffer();
    }
    FLineCond.notify_all();
    emit WakeUp();
}

qint64 TRxBuf::MsSinceLastChunk() const
{
    return Clock() - FLastChunkMs;
}

void TRxBuf::ResumeWaits()
{
    FCancelled = false;
}

bool TRxBuf::HasLineOrCancelled(quint64 epoch)
{
    std::lock_guard lock(CS);
    return CRIdx > 0 || FEpoch.load() != epoch || FDiscarding;
}

QString TRxBuf::GetLine()
{
    QElapsedTimer clock;
    clock.start();
    const quint64 epoch = FEpoch.load();
    const bool ui = OnUiThread();
    QString line;
    for (;;) {
        if (ReadLine(line))
            return line;
        if (FDiscarding)
            throw TReplyAbandoned();
        // A port closed before this wait began (say while the UI thread
        // handled its events between two readings) fails as promptly as
        // one closed during it.
        if (FCancelled || FEpoch.load() != epoch)
            throw std::runtime_error(kPortNotOpen);
        const qint64 elapsed = clock.elapsed();
        if (elapsed > kReplyTimeoutMs)
            throw std::runtime_error(kReadTimeout);
        // Wake up just past the limit so that the check above can fire.
        const qint64 remaining = kReplyTimeoutMs + 1 - elapsed;
        if (ui)
            WaitOnEventLoop(remaining, epoch);
        else
            WaitOnCondition(remaining, epoch);
    }
}

// On the UI thread the received chunks themselves arrive through the event
// loop, so waiting means running it until a line is ready or time is up.
void TRxBuf::WaitOnEventLoop(qint64 ms, quint64 epoch)
{
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Queued when a chunk comes in on another thread, direct otherwise.
    connect(this, &TRxBuf::WakeUp, &loop, &QEventLoop::quit);
    if (HasLineOrCancelled(epoch))  // arrived before the connection existed
        return;
    deadline.start(int(ms));
    TUiYield yield;
    loop.exec();
}

void TRxBuf::WaitOnCondition(qint64 ms, quint64 epoch)
{
    std::unique_lock lock(CS);
    FLineCond.wait_for(lock, std::chrono::milliseconds(ms),
                       [&] { return CRIdx > 0 || FEpoch.load() != epoch || FDiscarding; });
}

TRxBuf &RxBuf()
{
    static TRxBuf instance;
    return instance;
}

} // namespace Vantrel
