#include "RepThread.h"

#include "Sweep.h"

#include <QCoreApplication>
#include <QObject>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <exception>

namespace Vantrel {

namespace {

constexpr auto kPauseIdle = std::chrono::milliseconds(100);
constexpr TRgb kMainColor{255, 0, 0}, kRColor{0, 0, 255}, kXColor{0, 255, 0};

int Fade(int component, int d, int k)
{
    return component != 0 ? component : ((k - d) * 255) / (k + 1);
}

} // namespace

TRgb FadeColor(TRgb base, int d, int k)
{
    return {Fade(base.R, d, k), Fade(base.G, d, k), Fade(base.B, d, k)};
}

TRepThread::TRepThread(TRepeatTracks &target, const TCalibrationData &cb, qint32 f1, qint32 f2, qint32 nn,
                       qint32 tracks)
    : f1(f1), f2(f2), nn(nn), tracks(tracks), FTarget(target), FCb(cb), FUi(std::make_unique<QObject>())
{
}

TRepThread::~TRepThread()
{
    if (FThread.joinable())
        Stop();
}

void TRepThread::Start()
{
    FThread = std::thread([this] { Execute(); });
}

QString TRepThread::Stop()
{
    FTerminated = true;
    // The worker may be waiting for one of its UI steps or for serial data,
    // both of which this thread delivers.
    while (!FEnded)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    Join();
    return FError;
}

void TRepThread::Join()
{
    if (FThread.joinable())
        FThread.join();
    if (!FEndReported) {
        FEndReported = true;
        if (OnEnded)
            OnEnded(FError); // must not destroy this object: destroy it later
    }
}

void TRepThread::Execute()
{
    try {
        while (!FTerminated) {
            if (FPaused) {
                std::this_thread::sleep_for(kPauseIdle);
                continue;
            }
            Cycle();
        }
    } catch (const std::exception &e) {
        FError = QString::fromUtf8(e.what());
    } catch (...) {
        FError = QStringLiteral("Unknown error in the repeat worker");
    }
    FEnded = true;
    // Wakes the UI thread when it waits in Stop, and reports an end the
    // worker came to by itself.
    QMetaObject::invokeMethod(FUi.get(), [this] { Join(); }, Qt::QueuedConnection);
}

void TRepThread::Cycle()
{
    TCycleStart c;
    RunOnUi([&] { c = FTarget.StartCycle(); });
    const int nc = 1 + (c.Rv ? 1 : 0) + (c.Xv ? 1 : 0);
    const qint32 ff1 = std::max(RoundHalfEven(c.VisibleMinX), f1);
    const qint32 ff2 = std::min(RoundHalfEven(c.VisibleMaxX), f2);
    const int cidx = c.CurveCount - nc;
    const int k = cidx / nc;

    for (int d = 0; d < k; ++d) {
        FTarget.SetCurveColor(d * nc, FadeColor(kMainColor, d, k));
        if (c.Rv)
            FTarget.SetCurveColor(d * nc + 1, FadeColor(kRColor, d, k));
        if (c.Xv)
            FTarget.SetCurveColor(d * nc + (c.Rv ? 2 : 1), FadeColor(kXColor, d, k));
    }

    TSweepSink sink;
    sink.AddMain = [&](qint32 freq, double value) { FTarget.AddPoint(cidx, freq, value); };
    const int rIdx = c.Rv ? cidx + 1 : -1;
    const int xIdx = c.Xv ? cidx + (c.Rv ? 2 : 1) : -1;
    sink.AddRX = [&](qint32 freq, const TRX &rx) {
        if (rIdx >= 0)
            FTarget.AddPoint(rIdx, freq, rx.R);
        if (xIdx >= 0)
            FTarget.AddPoint(xIdx, freq, rx.X);
    };
    sink.StopRequested = [this] { return FTerminated.load(); };
    if (RunSweep(FCb, {ff1, ff2, nn, c.Mode, c.Rv, c.Xv}, sink) == TSweepEnd::StoppedInPlainPass)
        return;
    RunOnUi([&] { FTarget.TrimTracks(tracks * nc); });
}

void TRepThread::RunOnUi(const std::function<void()> &step)
{
    // The hand-over is a mutex and a condition variable of our own rather
    // than a blocking queued call, so that what the step wrote is visibly
    // ordered before the worker reads it (the thread sanitizer cannot see
    // through Qt's own locks).
    std::mutex lock;
    std::condition_variable doneCond;
    bool done = false;
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        FUi.get(),
        [&] {
            try {
                step();
            } catch (...) {
                error = std::current_exception();
            }
            std::lock_guard guard(lock);
            done = true;
            doneCond.notify_one();
        },
        Qt::QueuedConnection);
    std::unique_lock guard(lock);
    doneCond.wait(guard, [&done] { return done; });
    if (error)
        std::rethrow_exception(error);
}

} // namespace Vantrel
