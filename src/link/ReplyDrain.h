#pragma once

#include <QByteArray>
#include <QObject>

#include <functional>
#include <stdexcept>

namespace Vantrel {

inline constexpr const char *kSweepStopped = "Sweep stopped";

// How long the analyzer must have sent nothing before a reply given up
// counts as over: far longer than the gap between two reply lines, which
// follow each other within a few line times.
inline constexpr int kQuietMs = 300;

// Thrown by a reply wait that was given up (AbandonReply): not a failure,
// the user asked for it.
class TReplyAbandoned : public std::runtime_error
{
public:
    TReplyAbandoned() : std::runtime_error(kSweepStopped) {}
};

// The analyzer cannot be interrupted: a reply given up before its end keeps
// coming. Until the line has been quiet for kQuietMs (or the port closes),
// what arrives is dropped and every new exchange waits, so no line of the old
// reply is ever taken for the reply to a later command.

// UI thread. Gives up the reply under way: a waiting GetLine throws
// TReplyAbandoned, and so does every GetLine until the analyzer is quiet.
void AbandonReply();
// True from AbandonReply until the analyzer has gone quiet.
bool ReplyDraining();
// Runs command (an analyzer command) once the analyzer has gone quiet: at
// once when it is, its error then reaching the caller; later, from the UI
// thread, with its error dropped, and not at all when the port closes first.
void RunWhenQuiet(const std::function<void()> &command);
// Waits until the analyzer is quiet. On the UI thread the UI events are
// processed meanwhile, and CancelQuietWait() ends the wait with
// TReplyAbandoned.
void WaitUntilQuiet();
void CancelQuietWait();

// Tells the window when a drain begins and ends.
class TDrainMonitor : public QObject
{
    Q_OBJECT
signals:
    void DrainingChanged(bool draining);
    void QuietWaitCancelled();
};

TDrainMonitor &DrainMonitor();

} // namespace Vantrel
