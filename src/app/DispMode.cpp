#include "DispMode.h"

#include <stdexcept>

namespace Vantrel {

namespace {

void RequireValid(int mode)
{
    // Settings are mended on load, so this guards programming errors only.
    if (!IsValidDispMode(mode))
        throw std::out_of_range("display mode out of range");
}

} // namespace

TValueRange DispModeLeftRange(int mode)
{
    RequireValid(mode);
    static constexpr TValueRange ranges[DispModeCount] = {{1, 4}, {0, 1}, {-40, 0}};
    return ranges[mode];
}

QString DispModeCaption(int mode, bool rVis, bool xVis)
{
    RequireValid(mode);
    QString caption = QString::fromLatin1(DispModeNames[mode]);
    if (rVis && xVis)
        caption += QStringLiteral(" R+X");
    else if (rVis)
        caption += QStringLiteral(" R");
    else if (xVis)
        caption += QStringLiteral(" X");
    return caption;
}

} // namespace Vantrel
