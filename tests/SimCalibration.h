#pragma once

// A calibration taken from the simulated analyzer's own model: what a
// perfect calibration procedure would store.

#include "AnalyzerSim.h"
#include "CalibrationData.h"

inline Vantrel::TCalibrationData CalibrationOf(const TAnalyzerSim &sim)
{
    Vantrel::TCalibrationData cb;
    for (int k = 1; k <= 150; ++k)
        cb.ZeroLevel[size_t(k - 1)] = sim.OpenLevel(k);
    cb.Slope = sim.Slope();
    return cb;
}
