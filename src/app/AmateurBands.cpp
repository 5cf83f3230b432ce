#include "AmateurBands.h"

#include <algorithm>

namespace Vantrel {

namespace {

struct TBandEdges {
    const char *Name;
    qint32 Start, Stop;
};

constexpr TBandEdges kBands[] = {
    {"160 m", 1800000, 2000000},    {"80 m", 3500000, 4000000},     {"60 m", 5250000, 5450000},
    {"40 m", 7000000, 7300000},     {"30 m", 10100000, 10150000},   {"20 m", 14000000, 14350000},
    {"17 m", 18068000, 18168000},   {"15 m", 21000000, 21450000},   {"12 m", 24890000, 24990000},
    {"10 m", 28000000, 29700000},   {"6 m", 50000000, 54000000},    {"2 m", 144000000, 148000000},
};

} // namespace

std::vector<TBand> BandsUpTo(qint32 maxFreq)
{
    std::vector<TBand> bands;
    for (const TBandEdges &b : kBands) {
        if (b.Stop > maxFreq)
            continue;
        const qint32 margin = (b.Stop - b.Start) / 10;
        bands.push_back({QString::fromLatin1(b.Name), b.Start - margin, std::min(b.Stop + margin, maxFreq)});
    }
    return bands;
}

} // namespace Vantrel
