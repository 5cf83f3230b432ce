#pragma once

// What the program computes from the analyzer's readings, written out here
// from its formulas so these tests check the simulator independently of the
// program's own conversion code.

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cmath>

namespace ReadingMath {

struct TCalibration {
    std::array<int, 150> ZeroLevel{}; // element k-1: open-load reading at k MHz
    double Slope = 0;                 // dB per count
};

inline int FreqToIndex(qint32 hz)
{
    return std::max(1, hz / 1000000); // the tests stay below 151 MHz
}

// Return loss in dB, at most 0.
inline double Cvt2RL(const TCalibration &cb, qint32 hz, int val)
{
    const double rl = (val - cb.ZeroLevel[FreqToIndex(hz) - 1]) * cb.Slope;
    return std::min(rl, 0.0);
}

inline double RLToGamma(double rl)
{
    return std::min(0.999, std::pow(10.0, rl / 20));
}

inline double RLToSWR(double rl)
{
    const double g = RLToGamma(rl);
    return std::min(10.0, (1 + g) / (1 - g));
}

struct TRX {
    double R = 0, X = 0;
};

// R and |X| from the plain reading and the one with 51 ohm in series: the
// intersection of the two constant-SWR circles.
inline TRX CalcRX(double rl0, double rl1)
{
    const auto swr = [](double rl) {
        const double g = RLToGamma(rl);
        return std::min(100.0, (1 + g) / (1 - g));
    };
    const double s0 = swr(rl0), s1 = swr(rl1);
    const double c0 = 25 * (s0 + 1 / s0), r0 = 25 * (s0 - 1 / s0);
    const double c1 = 25 * (s1 + 1 / s1) - 51, r1 = 25 * (s1 - 1 / s1);
    TRX rx;
    rx.R = std::max(0.0, (r0 * r0 - r1 * r1 - c0 * c0 + c1 * c1) / ((c1 - c0) * 2));
    const double x2 = r0 * r0 - (rx.R - c0) * (rx.R - c0);
    rx.X = x2 > 0 ? std::sqrt(x2) : 0;
    return rx;
}

} // namespace ReadingMath

namespace ReadingMath {

// The R and |X| that readings anywhere within +-h dB of rl0 and rl1 give:
// what a load measured with that uncertainty may show.
struct TRXRange {
    double RLo = 1e300, RHi = -1e300, XLo = 1e300, XHi = -1e300;
    bool Holds(double r, double x, double slack) const
    {
        return r >= RLo - slack && r <= RHi + slack && x >= XLo - slack && x <= XHi + slack;
    }
};

inline TRXRange RXRange(double rl0, double rl1, double h)
{
    TRXRange range;
    constexpr int kSteps = 4; // a grid fine enough for so small a box
    for (int i = 0; i <= kSteps; ++i) {
        for (int j = 0; j <= kSteps; ++j) {
            const TRX rx = CalcRX(rl0 - h + 2 * h * i / kSteps, rl1 - h + 2 * h * j / kSteps);
            range.RLo = std::min(range.RLo, rx.R);
            range.RHi = std::max(range.RHi, rx.R);
            range.XLo = std::min(range.XLo, rx.X);
            range.XHi = std::max(range.XHi, rx.X);
        }
    }
    return range;
}

} // namespace ReadingMath
