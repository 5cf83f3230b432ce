#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

namespace Vantrel {

inline constexpr const char *kInvalidCount = "Invalid count value";

// The analyzer's commands. Each runs as one exchange (see TExchange), so it
// fails with the busy error while another exchange is in progress.

void CmdXtalCheckOn();            // "c": enter the crystal-check mode
void CmdXtalCheckOff();           // "o": back to normal operation
void CmdSetXtal(qint32 freq);     // "x <freq>": the crystal frequency in Hz
void CmdSeriesR(bool on);         // "z1" / "z0": the 51 ohm series resistor
void CmdSetFreq(qint32 freq);     // "f <freq>": start of the next sweep

// Called once per reading, in order, as soon as its line has been read.
using TReadingHandler = std::function<void(qint32 Index, qint32 Value)>;

// "r <step> <count>": count readings at f, f + step, ... after the receiver
// has been emptied. count <= 0 fails with kInvalidCount before anything is
// done. The array form resizes values to count and fills it in order; after
// a timeout the elements not yet read keep their earlier values.
void CmdSweep(qint32 step, qint32 count, std::vector<qint32> &values);
void CmdSweep(qint32 step, qint32 count, const TReadingHandler &handler);

// "w": the firmware identification line, as received.
QString CmdGetVersion();

// The analyzer's reading rule: a 32-bit decimal integer after optional
// leading spaces, nothing after the digits. False for anything else (empty,
// trailing characters, out of range), leaving value unchanged.
bool ParseReading(QStringView line, qint32 &value);

// A reply line as a reading: ParseReading, with 0 for a line that is not one.
qint32 ReadingFromLine(const QString &line);

} // namespace Vantrel
