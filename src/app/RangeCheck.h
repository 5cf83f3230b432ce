#pragma once

#include <QString>

namespace Vantrel {

struct TSweepRange
{
    qint32 Start = 0;
    qint32 Stop = 0;
    qint32 Points = 0;
};

// The range box's checks, in order: the three texts as decimal integers, then
// start >= 100 kHz, stop <= maxFreq, start <= stop, points >= 1. The first
// failure throws its one-line message.
TSweepRange CheckRange(const QString &start, const QString &stop, const QString &points, qint32 maxFreq);

} // namespace Vantrel
