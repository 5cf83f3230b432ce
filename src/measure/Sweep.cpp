#include "Sweep.h"

#include "AnalyzerCommands.h"
#include "ExchangeGuard.h"
#include "FloatChecks.h"
#include "ReplyDrain.h"

#include <QThread>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace Vantrel {

namespace {

constexpr int kSeriesRSettleMs = 100;

// Frequency of reading i; beyond the 32-bit range it is far above the
// calibration's top anyway.
qint32 PointFreq(qint32 f1, qint32 step, qint32 i)
{
    const qint64 f = qint64(i) * step + f1;
    if (f > std::numeric_limits<qint32>::max() || f < std::numeric_limits<qint32>::min())
        throw std::runtime_error("Exceed max freq limit");
    return qint32(f);
}

} // namespace

qint32 RoundHalfEven(double value)
{
    if (std::isnan(value))
        throw std::runtime_error(kFloatInvalidOp);
    const double r = std::nearbyint(value); // the default rounding mode: ties to even
    if (r >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (r <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(r);
}

qint32 SweepStep(qint32 start, qint32 stop, qint32 points)
{
    return RoundHalfEven(CheckedDivide(double(qint64(stop) - start), double(points)));
}

TSweepEnd RunSweep(const TCalibrationData &cb, const TSweepSettings &s, const TSweepSink &sink)
{
    const qint32 f1 = s.Start;
    const bool withRX = s.Rv || s.Xv;
    auto stopping = [&sink] { return sink.StopRequested && sink.StopRequested(); };
    auto afterPoint = [&sink] {
        if (sink.AfterPoint)
            sink.AfterPoint();
    };

    TExchange exchange;
    CmdSetFreq(f1);
    const qint32 step = SweepStep(f1, s.Stop, s.Points);
    if (s.Points < 0 || s.Points >= std::numeric_limits<qint32>::max())
        throw std::runtime_error(kInvalidCount);
    const qint32 count = s.Points + 1;

    // The plain pass's return loss, for the second pass. It grows with the
    // readings that arrive: a count that the analyzer never delivers must not
    // reserve memory up front.
    std::vector<double> rl;
    CmdSweep(step, count, [&](qint32 i, qint32 v) {
        if (stopping())
            return;
        const qint32 freq = PointFreq(f1, step, i);
        const double r = cb.Cvt2RL(freq, v);
        if (withRX)
            rl.push_back(r);
        if (sink.AddMain)
            sink.AddMain(freq, DisplayValue(s.Mode, r));
        afterPoint();
    });
    if (stopping())
        return TSweepEnd::StoppedInPlainPass;
    if (!withRX)
        return TSweepEnd::Completed;

    CmdSetFreq(f1);
    try {
        CmdSeriesR(true);
        QThread::msleep(kSeriesRSettleMs);
        CmdSweep(step, count, [&](qint32 i, qint32 v) {
            if (stopping())
                return;
            const qint32 freq = PointFreq(f1, step, i);
            const TRX rx = CalcRX(rl.at(size_t(i)), cb.Cvt2RL(freq, v));
            if (sink.AddRX)
                sink.AddRX(freq, rx);
            afterPoint();
        });
    } catch (...) {
        // The resistor must not stay in series; an error of this send
        // replaces the first one. After a stop the analyzer is still sending
        // the rest of the pass, so "z0" goes once it has finished.
        RunWhenQuiet([] { CmdSeriesR(false); });
        throw;
    }
    CmdSeriesR(false);
    return stopping() ? TSweepEnd::StoppedInRXPass : TSweepEnd::Completed;
}

} // namespace Vantrel
