#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace Vantrel {

inline constexpr const char *kReadTimeout = "Timeout while reading com port";
inline constexpr const char *kPortNotOpen = "Port Not Open";

// How long GetLine waits for one reply line; the error comes only once more
// than this has passed.
inline constexpr qint64 kReplyTimeoutMs = 5000;

// The most bytes of one line the receiver keeps (a leading LF not counted);
// the analyzer's longest reply is a few dozen. The rest of a longer line is
// dropped up to its CR, so a sender that never ends its line cannot make the
// buffer grow without bound.
inline constexpr qsizetype kMaxLineBytes = 256;

// The line receiver: collects the bytes the analyzer sends and cuts them into
// CR-terminated lines (an LF right after a CR is dropped with the next line).
// Chunks may arrive on any thread; GetLine may wait on any thread.
class TRxBuf : public QObject
{
    Q_OBJECT
public:
    TRxBuf();

    // Appends a received chunk (Count <= 0 is ignored).
    void OnRxBuf(const char *Buffer, qint32 Count);
    // Forgets everything received so far; later bytes count as new data.
    void ClearBuffers();
    // Takes one complete line out of the buffer; false (line untouched) if
    // there is none. Never waits.
    bool ReadLine(QString &line);
    // Waits up to a little over kReplyTimeoutMs for a complete line. On the
    // UI thread the UI events keep being processed meanwhile. Throws
    // kReadTimeout on timeout, and kPortNotOpen when there is no complete
    // line and CancelWaits has been called (the port was closed), before the
    // wait or during it.
    QString GetLine();
    // Ends every GetLine currently waiting, and makes every later one fail
    // instead of waiting, until ResumeWaits; used when the port closes.
    void CancelWaits();
    // While discarding, received chunks are dropped (the buffer is emptied
    // when it begins) and GetLine throws TReplyAbandoned, also one already
    // waiting; for a reply that was given up before its end.
    void SetDiscarding(bool on);
    // Milliseconds since the last chunk arrived, dropped or not.
    qint64 MsSinceLastChunk() const;
    // Lets GetLine wait again; used when the port has opened.
    void ResumeWaits();

signals:
    // A complete line is in the buffer, or the waits were cancelled.
    void WakeUp();

private:
    void WaitOnEventLoop(qint64 ms, quint64 epoch);
    void WaitOnCondition(qint64 ms, quint64 epoch);
    bool HasLineOrCancelled(quint64 epoch);
    void FindFirstCR(qsizetype from);
    void AppendCapped(QByteArrayView chunk);
    void EmptyBuffer();

    std::mutex CS;            // guards buf and CRIdx, for buffer work only
    qint32 CRIdx = 0;         // 1-based position of the first CR in buf; -1 none found, 0 after clearing
    QByteArray buf;           // received bytes not yet consumed
    qsizetype FTailLen = 0;   // bytes of buf's unfinished last line
    bool FTailLF = false;     // that line starts with an LF, which ReadLine drops
    std::condition_variable FLineCond;  // waited on by GetLine off the UI thread
    std::atomic<quint64> FEpoch{0};     // bumped by CancelWaits
    std::atomic<bool> FDiscarding{false};
    std::atomic<qint64> FLastChunkMs{0}; // on Clock()
    std::atomic<bool> FCancelled{false};  // from CancelWaits until ResumeWaits
};

// The process-wide receiver that the serial port feeds.
TRxBuf &RxBuf();

} // namespace Vantrel
