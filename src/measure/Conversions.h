#pragma once

#include <QtGlobal>

// Conversions from detector readings to RF quantities. System impedance 50 ohm.
namespace Vantrel {

inline constexpr int kCalibrationBands = 150;   // 1 .. 150 MHz
inline constexpr double kSeriesResistor = 51.0; // ohm, switched in by "z1"

// Calibration band (1 .. 150) of a frequency in Hz; everything below 2 MHz is
// band 1. Raises "Exceed max freq limit" from 151 MHz on.
int FreqToIndex(qint32 freq);

// Reflection coefficient magnitude of a return loss in dB, at most 0.999.
double RLToGamma(double rl);
// SWR of a return loss in dB, 1 .. 10.
double RLToSWR(double rl);
// SWR of a reflection coefficient magnitude, with the caps of RLToSWR.
double GammaToSWR(double g);
// The way back, for values shown in one form and wanted in another: the
// return loss in dB of a reflection coefficient magnitude (-inf for 0), and
// the magnitude of an SWR (>= 1). Out-of-range input raises "Invalid
// floating point operation".
double GammaToRL(double g);
double SWRToGamma(double s);

struct TRX {
    double R = 0; // ohm, >= 0
    double X = 0; // ohm, magnitude: the readings cannot tell its sign
};

// Resistance and reactance magnitude of a load from the return loss of the
// plain reading (rl0) and of the reading with the series resistor (rl1), by
// intersecting the two constant-SWR circles in the impedance plane.
TRX CalcRX(double rl0, double rl1);

} // namespace Vantrel
