#include "Conversions.h"

#include "FloatChecks.h"

#include <cmath>
#include <stdexcept>

namespace Vantrel {

int FreqToIndex(qint32 freq)
{
    int idx = freq / 1000000;
    if (idx < 1)
        idx = 1;
    if (idx > kCalibrationBands)
        throw std::runtime_error("Exceed max freq limit");
    return idx;
}

double RLToGamma(double rl)
{
    const double g = std::pow(10.0, rl / 20.0);
    return g > 0.999 ? 0.999 : g;
}

double RLToSWR(double rl)
{
    const double g = RLToGamma(rl);
    const double s = (1 + g) / (1 - g); // g <= 0.999, so never a division by zero
    return s > 10 ? 10 : s;
}

double GammaToSWR(double g)
{
    if (std::isnan(g) || g < 0)
        throw std::runtime_error(kFloatInvalidOp);
    // log10(0) is -inf, whose Gamma is 0 and SWR 1: the matched load.
    return RLToSWR(20 * std::log10(g));
}

double GammaToRL(double g)
{
    if (std::isnan(g) || g < 0)
        throw std::runtime_error(kFloatInvalidOp);
    return 20 * std::log10(g);
}

double SWRToGamma(double s)
{
    if (std::isnan(s) || s < 1)
        throw std::runtime_error(kFloatInvalidOp);
    return std::isinf(s) ? 1 : (s - 1) / (s + 1);
}

namespace {

// SWR of a return loss for the circle intersection: capped at 100, not 10.
double CircleSWR(double rl)
{
    const double g = RLToGamma(rl);
    const double s = (1 + g) / (1 - g);
    return s > 100 ? 100 : s;
}

} // namespace

TRX CalcRX(double rl0, double rl1)
{
    const double s0 = CircleSWR(rl0);
    const double s1 = CircleSWR(rl1);
    // Loads of SWR s in a 50 ohm system lie on a circle centred on the R axis
    // at 25 (s + 1/s) with radius 25 (s - 1/s); the second circle is that of
    // Z + 51 ohm, moved back by the series resistor.
    const double c0 = 25 * (s0 + 1 / s0);
    const double r0 = 25 * (s0 - 1 / s0);
    const double c1 = 25 * (s1 + 1 / s1) - kSeriesResistor;
    const double r1 = 25 * (s1 - 1 / s1);

    TRX rx;
    rx.R = CheckedDivide(r0 * r0 - r1 * r1 - c0 * c0 + c1 * c1, (c1 - c0) * 2);
    if (rx.R < 0)
        rx.R = 0;
    const double x2 = r0 * r0 - (rx.R - c0) * (rx.R - c0);
    rx.X = x2 > 0 ? std::sqrt(x2) : 0;
    return rx;
}

} // namespace Vantrel
