#include "ExchangeGuard.h"

#include "ReplyDrain.h"

#include <QCoreApplication>
#include <QThread>

#include <mutex>
#include <stdexcept>
#include <thread>

namespace Vantrel {

namespace {

struct TGuardState
{
    std::mutex Lock;
    std::thread::id Owner;
    int Depth = 0;
    bool Yielding = false;
};

TGuardState &Guard()
{
    static TGuardState state;
    return state;
}

} // namespace

TExchange::TExchange()
{
    TGuardState &g = Guard();
    bool nested;
    {
        std::lock_guard lock(g.Lock);
        nested = g.Depth > 0 && g.Owner == std::this_thread::get_id();
    }
    // While the rest of a reply given up is still coming, a new exchange
    // waits, so that it cannot take those lines for its own.
    if (!nested)
        WaitUntilQuiet();
    std::lock_guard lock(g.Lock);
    const auto self = std::this_thread::get_id();
    if (g.Depth == 0) {
        g.Owner = self;
        g.Depth = 1;
        g.Yielding = false;
    } else if (g.Owner == self && !g.Yielding) {
        ++g.Depth;
    } else {
        throw std::runtime_error(kAnalyzerBusy);
    }
}

TExchange::~TExchange()
{
    TGuardState &g = Guard();
    std::lock_guard lock(g.Lock);
    if (--g.Depth == 0)
        g.Owner = std::thread::id();
}

bool OnUiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

bool ExchangeBusy()
{
    TGuardState &g = Guard();
    std::lock_guard lock(g.Lock);
    return g.Depth > 0;
}

TUiYield::TUiYield()
{
    TGuardState &g = Guard();
    std::lock_guard lock(g.Lock);
    if (g.Depth > 0 && g.Owner == std::this_thread::get_id()) {
        FActive = true;
        FWasYielding = g.Yielding;
        g.Yielding = true;
    }
}

TUiYield::~TUiYield()
{
    if (!FActive)
        return;
    TGuardState &g = Guard();
    std::lock_guard lock(g.Lock);
    g.Yielding = FWasYielding;
}

void ProcessUiEvents()
{
    if (!OnUiThread())
        return;
    TUiYield yield;
    QCoreApplication::processEvents();
}

} // namespace Vantrel
