#include "CalibrationSteps.h"

#include "AnalyzerCommands.h"
#include "Conversions.h"
#include "ExchangeGuard.h"
#include "FloatChecks.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace Vantrel {

namespace {

[[noreturn]] void Fail(const QString &message)
{
    throw std::runtime_error(message.toStdString());
}

} // namespace

void MeasureOpenLevels(TCalibrationData &cb, qint32 maxFreq, TProgressView &progress)
{
    TProgressScope scope(progress, QString::fromLatin1(kCalibrationTitle));
    TExchange exchange;
    CmdSetFreq(kCalibrationFreq);
    // The record holds 150 bands: a larger count would store past its end.
    const qint32 count = std::min<qint32>(maxFreq / 1000000, kCalibrationBands);
    CmdSweep(kCalibrationFreq, count, [&](qint32 index, qint32 value) {
        cb.ZeroLevel[size_t(index)] = value;
        scope.SetText(QStringLiteral("Measured at %1 MHz").arg(index + 1));
    });
}

void MeasureSlope(TCalibrationData &cb)
{
    TExchange exchange;
    CmdSetFreq(kCalibrationFreq);
    std::vector<qint32> values;
    CmdSweep(0, 1, values);
    cb.Slope = SlopeFromLevels(cb.ZeroLevel[size_t(FreqToIndex(kCalibrationFreq) - 1)], values[0]);
}

double SlopeFromLevels(qint32 openLevel, qint32 load100Reading)
{
    const qint64 d = qint64(openLevel) - load100Reading;
    if (d < 0)
        Fail(QStringLiteral("The 100 ohm reading (%1) is above the open-load level (%2): "
                            "the load or the step 1 data is wrong")
                 .arg(load100Reading)
                 .arg(openLevel));
    return CheckedDivide(kLoad100ReturnLoss, double(d));
}

qint32 XtalFreqFromText(const QString &text)
{
    qint32 value = 0;
    if (!ParseReading(text, value))
        Fail(QStringLiteral("'%1' is not a valid integer value").arg(text));
    if (value < kMinXtalFreq || value > kMaxXtalFreq)
        Fail(QString::fromLatin1(kInvalidFrequency));
    return value;
}

} // namespace Vantrel
