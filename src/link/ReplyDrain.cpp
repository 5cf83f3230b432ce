#include "ReplyDrain.h"

#include "ExchangeGuard.h"
#include "RxBuf.h"
#include "SerialLink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

namespace Vantrel {

namespace {

constexpr int kCheckMs = 50;

struct TDrainState
{
    std::atomic<bool> Draining{false};
    QList<std::function<void()>> Pending; // UI thread only
    QTimer *Check = nullptr;   // UI thread only
    quint64 Cancels = 0;       // UI thread only: CancelQuietWait calls so far
};

TDrainState &State()
{
    static TDrainState state;
    return state;
}

void Finish()
{
    TDrainState &s = State();
    s.Check->stop();
    RxBuf().SetDiscarding(false);
    const QList<std::function<void()>> pending = std::exchange(s.Pending, {});
    s.Draining = false;
    if (IsPortOpen())
        for (const std::function<void()> &command : pending) {
            try {
                command();
            } catch (const std::exception &) {
                // Nobody is left to tell; the next command meets the fault.
            }
        }
    emit DrainMonitor().DrainingChanged(false);
}

void CheckQuiet()
{
    // A port that closed ends the drain: nothing can come any more.
    if (!IsPortOpen() || (RxBuf().MsSinceLastChunk() >= kQuietMs && !ExchangeBusy()))
        Finish();
}

} // namespace

void AbandonReply()
{
    TDrainState &s = State();
    if (!s.Check) {
        s.Check = new QTimer(QCoreApplication::instance());
        s.Check->setInterval(kCheckMs);
        QObject::connect(s.Check, &QTimer::timeout, &CheckQuiet);
    }
    RxBuf().SetDiscarding(true);
    if (!s.Draining.exchange(true))
        emit DrainMonitor().DrainingChanged(true);
    s.Check->start();
}

bool ReplyDraining()
{
    return State().Draining;
}

void RunWhenQuiet(const std::function<void()> &command)
{
    if (ReplyDraining())
        State().Pending.append(command);
    else
        command();
}

void WaitUntilQuiet()
{
    TDrainState &s = State();
    if (!s.Draining)
        return;
    if (!OnUiThread()) {
        while (s.Draining)
            std::this_thread::sleep_for(std::chrono::milliseconds(kCheckMs / 2));
        return;
    }
    // Every waiting loop, nested or not, ends on either signal.
    const quint64 cancels = s.Cancels;
    QEventLoop loop;
    QObject::connect(&DrainMonitor(), &TDrainMonitor::DrainingChanged, &loop, &QEventLoop::quit);
    QObject::connect(&DrainMonitor(), &TDrainMonitor::QuietWaitCancelled, &loop, &QEventLoop::quit);
    while (s.Draining && s.Cancels == cancels)
        loop.exec();
    if (s.Cancels != cancels)
        throw TReplyAbandoned();
}

void CancelQuietWait()
{
    ++State().Cancels;
    emit DrainMonitor().QuietWaitCancelled();
}

TDrainMonitor &DrainMonitor()
{
    static TDrainMonitor monitor;
    return monitor;
}

} // namespace Vantrel
