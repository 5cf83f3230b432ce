#include "SimModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace SimModel {

int OpenLevel(int mhz)
{
    // A gently varying, deterministic curve between about 1950 and 2550
    // counts: a slow swell, a faster ripple and a falling trend.
    const double k = std::clamp(mhz, 1, kBands);
    const double pi2 = 2 * std::numbers::pi;
    const double v = 2350 + 150 * std::sin(pi2 * (k - 1) / 97 + 0.4)
                     - 1.5 * (k - 1) + 20 * std::cos(pi2 * k / 13);
    return int(std::lround(v));
}

double Slope()
{
    return 0.0172;
}

int BandOf(qint64 hz)
{
    return int(std::clamp<qint64>(hz / 1000000, 1, kBands));
}

std::complex<double> LoadImpedance(const TSimLoad &load, double hz)
{
    switch (load.Kind) {
    case TSimLoadKind::Open:
        return {std::numeric_limits<double>::infinity(), 0};
    case TSimLoadKind::Short:
        return {0, 0};
    case TSimLoadKind::Ohm50:
        return {50, 0};
    case TSimLoadKind::Ohm100:
        return {100, 0};
    case TSimLoadKind::Fixed:
        return {load.R, load.X};
    case TSimLoadKind::Dipole: {
        // 1 Hz at least, so the capacitor's reactance stays finite.
        const double f = std::max(hz, 1.0);
        const double w = 2 * std::numbers::pi * f;
        const double w0 = 2 * std::numbers::pi * kDipoleResonanceHz;
        const double c = 1 / (w0 * w0 * kDipoleInductance);
        // Loss resistance plus a radiation resistance growing with f^2, as
        // for a wire dipole; 60 ohm in all at resonance.
        const double ratio = f / kDipoleResonanceHz;
        const double r = 2 + 58 * ratio * ratio;
        return {r, w * kDipoleInductance - 1 / (w * c)};
    }
    }
    return {0, 0};
}

double ReflectionMagnitude(std::complex<double> z)
{
    if (std::isinf(z.real()) || std::isinf(z.imag()))
        return 1;
    const double den = std::abs(z + kSystemOhm);
    if (den == 0)
        return 1;
    return std::min(1.0, std::abs(z - kSystemOhm) / den);
}

int RawCount(const TSimLoad &load, qint64 hz, bool seriesR, int maxMHz)
{
    const int open = OpenLevel(BandOf(hz));
    if (hz > qint64(maxMHz) * 1000000)
        return open;
    std::complex<double> z = LoadImpedance(load, double(hz));
    if (seriesR)
        z += kSeriesOhm;
    const double g = ReflectionMagnitude(z);
    // Below this the count would be under the floor on every band anyway
    // (and log10(0) must not be rounded).
    if (g < 1e-6)
        return kCountFloor;
    const long offset = std::lround(20 * std::log10(g) / Slope());
    return std::max(kCountFloor, open + int(offset));
}

} // namespace SimModel
