#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

namespace Vantrel {

// The analyzer's calibration: a plain value record, copied whole between the
// main window and the calibration dialog. All zero until loaded or measured;
// with the all-zero record every return loss is 0 dB (SWR 10).
struct TCalibrationData {
    qint32 XTalFreq = 0;                  // crystal frequency, Hz; 0 = not set
    double Slope = 0;                     // detector slope, dB per count
    std::array<qint32, 150> ZeroLevel{};  // element k-1: open-load reading at k MHz

    static constexpr qint32 kDefaultXTalFreq = 25003600;
    static constexpr double kDefaultSlope = 0.0168;

    // Fills the record from a calibration file. Missing or malformed values
    // take the defaults (XTalFreq, Slope) or leave elements as they were
    // (ZeroLevel). An unreadable file raises an error and changes nothing.
    void LoadFromFile(const QString &fileName);
    // Writes the whole file anew (see ReplaceFile: a failed write leaves the
    // old file as it was, byte for byte, and raises "Cannot create file" or
    // "Cannot write file" with the path and the system's reason).
    void SaveToFile(const QString &fileName) const;

    // Return loss in dB (<= 0) of the reading val at freq Hz.
    double Cvt2RL(qint32 freq, qint32 val) const;

    bool operator==(const TCalibrationData &) const = default;
};

} // namespace Vantrel
