#pragma once

#include "CalibrationData.h"
#include "ProgressView.h"

#include <QString>
#include <QtGlobal>

// The calibration procedure without its window: the open-load levels, the
// detector slope from a 100 ohm load, and the check of a typed crystal
// frequency. Each step works on the caller's record and leaves in it what it
// stored before a failure.
namespace Vantrel {

inline constexpr const char *kCalibrationTitle = "Calibration";
inline constexpr const char *kInvalidFrequency = "Invalid frequency value";

inline constexpr qint32 kCalibrationFreq = 1000000;  // Hz: both steps start here
// Return loss of a 100 ohm load in a 50 ohm system (Gamma 1/3), in dB.
inline constexpr double kLoad100ReturnLoss = 9.542;
inline constexpr qint32 kMinXtalFreq = 10000000;
inline constexpr qint32 kMaxXtalFreq = 50000000;

// Step 1, nothing on the jack: reads the open-load level at 1, 2, ... MHz up
// to the analyzer's highest frequency maxFreq (Hz) into cb.ZeroLevel, each as
// it arrives, under a progress window titled kCalibrationTitle that tells the
// megahertz just measured. Elements above maxFreq keep their values; with
// maxFreq below 1 MHz it fails with "Invalid count value" after the "f".
void MeasureOpenLevels(TCalibrationData &cb, qint32 maxFreq, TProgressView &progress);

// Step 2, a 100 ohm load on the jack: one reading at 1 MHz, and cb.Slope from
// it and the 1 MHz open-load level (SlopeFromLevels).
void MeasureSlope(TCalibrationData &cb);

// The detector slope, dB per count, that makes the 100 ohm reading come out
// at kLoad100ReturnLoss below the open level. Equal readings fail with the
// division-by-zero error; a 100 ohm reading above the open level is refused,
// since its slope would turn every later reading into nonsense.
double SlopeFromLevels(qint32 openLevel, qint32 load100Reading);

// The crystal frequency the user typed: an integer ("'<text>' is not a valid
// integer value" otherwise) from kMinXtalFreq to kMaxXtalFreq
// (kInvalidFrequency otherwise).
qint32 XtalFreqFromText(const QString &text);

} // namespace Vantrel
