#include "AxisTicks.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

// Bounds that keep the search loops finite whatever the window holds.
constexpr int kMaxFirstTickSteps = 1000000;
constexpr size_t kMaxTicks = 100000;

// Number of decimal digits of a non-negative integer value (1 for 0).
int DecimalDigits(double n)
{
    if (n < 10.0)
        return 1;
    int k = static_cast<int>(std::floor(std::log10(n))) + 1;
    if (std::pow(10.0, k - 1) > n)
        --k;
    else if (std::pow(10.0, k) <= n)
        ++k;
    return k;
}

// 10 to the power (digits of round(minStep)) - 1: the scale of the step table.
double StepMagnitude(double minStep)
{
    return std::pow(10.0, DecimalDigits(std::nearbyint(minStep)) - 1);
}

} // namespace

double TickStep(double minStep)
{
    if (!std::isfinite(minStep) || minStep < 0.0)
        return 0.0;
    const double m = StepMagnitude(minStep);
    for (double t : kTickStepTable)
        if (m * t >= minStep)
            return m * t;
    return m * kTickStepTable.back();
}

int TickDecimals(double step)
{
    if (step < 0.01)
        return 3;
    if (step < 0.1)
        return 2;
    if (step < 1.0)
        return 1;
    return 0;
}

QString FormatAxisValue(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const double rounded = QString::number(value, 'g', 10).toDouble();
    if (std::fabs(rounded) >= 1e10)
        return QString::number(rounded, 'E', 9);
    QString text = QString::number(rounded, 'f', decimals);
    if (text.startsWith(u'-') && text.toDouble() == 0.0)
        text.remove(0, 1);
    return text;
}

TAxisTicks ComputeAxisTicks(double lo, double hi, double valuePerPixel, double minSpacing)
{
    TAxisTicks r;
    const double v = valuePerPixel;
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi) || !std::isfinite(v) || v <= 0.0)
        return r;
    const double a = minSpacing * v;
    const double step = TickStep(a);
    const double m = StepMagnitude(a);
    if (!(step > 0.0) || !std::isfinite(step) || lo + step == lo)
        return r;

    // The repeated additions are part of the result: the first tick and the
    // labels carry their rounding, which decides whether the ends are labelled.
    double first = std::trunc(lo / (10.0 * m)) * 10.0 * m;
    int guard = 0;
    if (lo < 0.0) {
        while (lo + step <= first && ++guard < kMaxFirstTickSteps)
            first = first - step;
    } else {
        while (first < lo && ++guard < kMaxFirstTickSteps)
            first = first + step;
    }
    if (guard >= kMaxFirstTickSteps)
        return r;

    r.Step = step;
    r.First = first;
    r.Offset = RoundToPixel((first - lo) / v);
    r.Decimals = TickDecimals(step);
    double val = first;
    for (size_t i = 0; val <= hi && i < kMaxTicks; ++i) {
        r.Ticks.push_back({RoundToPixel(static_cast<double>(i) * step / v) + r.Offset, val,
                           FormatAxisValue(val, r.Decimals)});
        const double next = val + step;
        if (next == val)
            break;
        val = next;
    }
    return r;
}

QRect AxisLabelBox(double hi, double lo, int precision, const QFontMetrics &metrics)
{
    const QString hiText = FormatAxisValue(hi, precision);
    const QString loText = FormatAxisValue(lo, precision);
    const int w = std::max(metrics.horizontalAdvance(hiText), metrics.horizontalAdvance(loText));
    return QRect(0, 0, w + 10, metrics.height());
}
