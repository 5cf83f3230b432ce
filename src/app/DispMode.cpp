#include "DispMode.h"

#include <stdexcept>

namespace Vantrel {

namespace {

int Index(TDispMode mode)
{
    // Settings are mended on load, so this guards programming errors only.
    const int i = int(mode);
    if (!IsValidDispMode(i))
        throw std::out_of_range("display mode out of range");
    return i;
}

} // namespace

TValueRange DispModeLeftRange(TDispMode mode)
{
    static constexpr TValueRange ranges[DispModeCount] = {{1, 4}, {0, 1}, {-40, 0}};
    return ranges[Index(mode)];
}

QString DispModeCaption(TDispMode mode, bool rVis, bool xVis)
{
    QString caption = QString::fromLatin1(DispModeNames[Index(mode)]);
    if (rVis && xVis)
        caption += QStringLiteral(" R+X");
    else if (rVis)
        caption += QStringLiteral(" R");
    else if (xVis)
        caption += QStringLiteral(" X");
    return caption;
}

QString DispModeSymbol(TDispMode mode)
{
    return QString::fromLatin1(DispModeShort[Index(mode)]);
}

} // namespace Vantrel
