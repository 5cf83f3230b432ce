#pragma once

#include "DisplayValue.h"
#include "GraphPoint.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The "Save data" text: tracks as comma-separated values (RFC 4180, UTF-8,
// CR LF line ends, one header row).

namespace Vantrel {

// What one track gives to the file: the points of its main curve, R curve
// and X curve, each absent when the track has no such curve (or it is not
// to be written).
struct TCsvTrack {
    QString Name;
    std::optional<std::vector<TGraphPoint>> Main, R, X;
};

inline constexpr const char *kCsvHeader = "track,frequency_hz,swr,return_loss_db,gamma,r_ohm,x_abs_ohm";

// One row per frequency of each track, in frequency order, tracks in their
// order. The main curve's values are of mode; SWR, return loss and Gamma are
// all derived from them, R and |X| taken at the same frequency. Frequencies
// are whole hertz, values have 6 significant digits and a '.' point whatever
// the locale; a column the track does not hold at that frequency is empty,
// and so is a return loss of -infinity (a perfect match).
QByteArray TracksCsv(const std::vector<TCsvTrack> &tracks, TDispMode mode);

// A field as RFC 4180 wants it: quoted (with inner quotes doubled) when it
// holds a comma, a quote or a line break.
QString CsvField(const QString &text);

} // namespace Vantrel
