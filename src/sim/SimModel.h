#pragma once

#include "SimLoad.h"

#include <QtGlobal>

#include <complex>

// The simulated analyzer's physics: a reflection detector whose open-load
// count varies from band to band, a log-linear slope, and the loads.
namespace SimModel {

inline constexpr double kSystemOhm = 50.0;
inline constexpr double kSeriesOhm = 51.0;   // switched in by "z1"
inline constexpr int kBands = 150;           // band k covers k .. k+1 MHz
// The detector bottoms out here: a matched load (Gamma 0) reads this count
// instead of minus infinity, and no reading ever falls below it.
inline constexpr int kCountFloor = 40;

// The dipole: a series RLC with its series resonance at kDipoleResonanceHz.
inline constexpr double kDipoleResonanceHz = 7.1e6;
inline constexpr double kDipoleInductance = 23.8e-6; // henry

// True open-load count of band mhz (values outside 1 .. 150 use the nearest band).
int OpenLevel(int mhz);
// True detector slope, dB per count.
double Slope();
// Calibration band of a frequency: hz / 1 MHz truncated, clamped to 1 .. 150.
int BandOf(qint64 hz);

// Impedance of the load at hz; an open load is infinite (real part).
std::complex<double> LoadImpedance(const TSimLoad &load, double hz);
// |Gamma| of an impedance against 50 ohm, at most 1 (the detector is passive).
double ReflectionMagnitude(std::complex<double> z);
// Detector count at hz. seriesR adds the 51 ohm resistor in front of the load.
// Above the analyzer's highest frequency the generator is silent and the
// detector reads like an open load.
int RawCount(const TSimLoad &load, qint64 hz, bool seriesR, int maxMHz);

} // namespace SimModel
