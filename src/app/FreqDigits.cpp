#include "FreqDigits.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>

namespace Vantrel::FreqDigits {

namespace {

qint32 ToPanelRange(qint64 v)
{
    return qint32(std::clamp<qint64>(v, 0, kPanelMax));
}

} // namespace

qint32 FromEditText(const QString &text)
{
    return ToPanelRange(ParseDecimal(text).value_or(0));
}

QString PanelText(qint32 v)
{
    v = ToPanelRange(v);
    return QString::asprintf("%.3d.%.3d.%.3d", v / 1000000, v / 1000 % 1000, v % 1000);
}

qint32 PlaceValue(int col)
{
    static constexpr qint32 kPlaces[kPanelLength] = {100000000, 10000000, 1000000, 0, 100000, 10000,
                                                     1000,      0,        100,     10, 1};
    return col >= 0 && col < kPanelLength ? kPlaces[col] : 0;
}

int ColumnAt(double x, double charWidth)
{
    if (!(charWidth > 0) || x < 0)
        return -1;
    const double col = std::floor(x / charWidth);
    return col < kPanelLength ? int(col) : kPanelLength;
}

std::optional<qint32> Wheel(qint32 v, int col, int delta, qint32 maxFreq)
{
    const qint32 step = PlaceValue(col);
    if (step == 0 || delta == 0)
        return std::nullopt;
    qint64 w = v;
    if (delta > 0)
        w = std::min<qint64>(w + step, maxFreq);
    else
        w = std::max<qint64>(w - step, kMinFreq);
    return ToPanelRange(w);
}

std::optional<qint32> ZeroRight(qint32 v, int col)
{
    const qint32 step = PlaceValue(col);
    if (step == 0)
        return std::nullopt;
    return std::max(v / step * step, kMinFreq);
}

} // namespace Vantrel::FreqDigits
