#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

namespace Vantrel {

// A sweep range offered by the range box's band list.
struct TBand {
    QString Name;  // "40 m"
    qint32 Start;  // Hz
    qint32 Stop;   // Hz
};

// The amateur bands from 160 m to 2 m that lie within an analyzer whose
// highest frequency is maxFreq, lowest first, each widened by a tenth of its
// width on both sides so that its edges show, and its top held at maxFreq.
// Empty before the analyzer is known (maxFreq 0).
std::vector<TBand> BandsUpTo(qint32 maxFreq);

} // namespace Vantrel
