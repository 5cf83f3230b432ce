#include "SimLoadText.h"

#include <QStringList>

#include <cmath>

std::optional<TSimLoad> ParseSimLoad(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == "open") return TSimLoad{TSimLoadKind::Open};
    if (t == "short") return TSimLoad{TSimLoadKind::Short};
    if (t == "50") return TSimLoad{TSimLoadKind::Ohm50};
    if (t == "100") return TSimLoad{TSimLoadKind::Ohm100};
    if (t == "dipole") return TSimLoad{TSimLoadKind::Dipole};
    const QStringList parts = t.split(',');
    if (parts.size() != 2)
        return std::nullopt;
    bool okR = false, okX = false;
    const double r = parts[0].toDouble(&okR);
    const double x = parts[1].toDouble(&okX);
    // A passive load has no negative resistance.
    if (!okR || !okX || !std::isfinite(r) || !std::isfinite(x) || r < 0)
        return std::nullopt;
    return TSimLoad{TSimLoadKind::Fixed, r, x};
}
