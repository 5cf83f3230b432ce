#pragma once

namespace Vantrel {

inline constexpr const char *kAnalyzerBusy = "Analyzer is busy: another exchange is in progress";

// Holds the analyzer for one exchange: a command with all its replies, or a
// caller's whole sequence of commands (every analyzer command also takes one
// itself). While one is held, starting another fails at once with
// kAnalyzerBusy, so replies of two exchanges never mix:
// - from another thread;
// - from a UI event handled while the holder waits for a reply or runs
//   ProcessUiEvents.
// The holder's own thread may nest exchanges as long as it is not yielding
// to the event loop.
class TExchange
{
public:
    TExchange();
    ~TExchange();
    TExchange(const TExchange &) = delete;
    TExchange &operator=(const TExchange &) = delete;
};

// True while an exchange is held; the UI disables the commands meanwhile.
bool ExchangeBusy();

// True on the thread that runs the application's event loop.
bool OnUiThread();

// Processes pending UI events (UI thread only; elsewhere does nothing) while
// marking the current exchange as yielding, so that an event handler cannot
// start a second exchange. Sweep reading handlers use this instead of
// QCoreApplication::processEvents.
void ProcessUiEvents();

// Marks the calling thread's exchange, if it holds one, as yielding to the
// event loop for the lifetime of the object.
class TUiYield
{
public:
    TUiYield();
    ~TUiYield();
    TUiYield(const TUiYield &) = delete;
    TUiYield &operator=(const TUiYield &) = delete;

private:
    bool FActive = false;
    bool FWasYielding = false;
};

} // namespace Vantrel
