#pragma once

// Test helpers: the simulated analyzer with a calibration taken from its own
// model, and the load's true values to check the curves against.

#include "AnalyzerSim.h"
#include "CalibrationData.h"
#include "Conversions.h"
#include "GraphM.h"
#include "SimModel.h"
#include "SimCalibration.h"
#include "WireCommands.h"

#include <QList>
#include <QtTest>

#include <cmath>
#include <complex>

// Return loss in dB of an impedance against 50 ohm (0 for an open load).
inline double TrueRL(std::complex<double> z)
{
    if (std::isinf(z.real()))
        return 0;
    return 20 * std::log10(std::abs(z - 50.0) / std::abs(z + 50.0));
}

// The commands logged since the simulator's ClearLog, once `expected` more
// than `handled` have been acted on (the program waits for no reply to most).
inline QList<QByteArray> WireAfter(TAnalyzerSim &sim, int handled, int expected)
{
    sim.WaitForCommands(handled + expected, 2000);
    return sim.ReceivedCommands();
}

// The main curve against the load's true SWR, Gamma or return loss: a reading
// is an integer count, so its return loss may be off by one slope step, and
// the detector bottoms out at its floor count.
inline void CheckMainCurve(const TCurve &curve, const TAnalyzerSim &sim, int mode, qint32 f1, qint32 step, int count)
{
    QCOMPARE(curve.Count(), count);
    const double tol = sim.Slope();
    auto display = [mode](double rl) {
        return mode == 0 ? Vantrel::RLToSWR(rl) : mode == 1 ? Vantrel::RLToGamma(rl) : rl;
    };
    for (int i = 0; i < count; ++i) {
        const TGraphPoint p = curve.Points(i);
        QCOMPARE(p.X, double(f1 + qint64(i) * step));
        const double floorRL = (SimModel::kCountFloor - sim.OpenLevel(Vantrel::FreqToIndex(qint32(p.X)))) * sim.Slope();
        const double rl = std::clamp(TrueRL(sim.LoadImpedance(p.X)), floorRL, 0.0);
        const double a = display(std::min(0.0, rl - tol)), b = display(std::min(0.0, rl + tol));
        if (p.Y < std::min(a, b) - 1e-9 || p.Y > std::max(a, b) + 1e-9)
            QFAIL(qPrintable(QStringLiteral("point %1 at %2 Hz: %3 outside %4 .. %5")
                                 .arg(i).arg(p.X).arg(p.Y).arg(std::min(a, b)).arg(std::max(a, b))));
    }
}

// R or |X| against the load's impedance where the two-circle method is well
// conditioned (true SWR up to 3): within 3 % of |Z| plus 1 ohm.
inline void CheckRXCurve(const TCurve &curve, const TAnalyzerSim &sim, bool isR, qint32 f1, qint32 step, int count)
{
    QCOMPARE(curve.Count(), count);
    int checked = 0;
    for (int i = 0; i < count; ++i) {
        const TGraphPoint p = curve.Points(i);
        QCOMPARE(p.X, double(f1 + qint64(i) * step));
        const std::complex<double> z = sim.LoadImpedance(p.X);
        if (Vantrel::RLToSWR(TrueRL(z)) > 3)
            continue;
        const double want = isR ? z.real() : std::abs(z.imag());
        const double tol = 0.03 * std::abs(z) + 1;
        if (std::abs(p.Y - want) > tol)
            QFAIL(qPrintable(QStringLiteral("%1 at %2 Hz: %3, true %4").arg(isR ? "R" : "X").arg(p.X).arg(p.Y).arg(want)));
        ++checked;
    }
    QVERIFY2(checked > 0, "no point of the sweep lies near the load's match");
}
