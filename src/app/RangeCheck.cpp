#include "RangeCheck.h"

#include "NumberText.h"

#include <stdexcept>

namespace Vantrel {

namespace {

qint32 ReadInteger(const QString &text)
{
    const auto v = ParseDecimal(text);
    if (!v)
        throw std::runtime_error(("'" + text + "' is not a valid integer value").toStdString());
    return *v;
}

} // namespace

TSweepRange CheckRange(const QString &start, const QString &stop, const QString &points, qint32 maxFreq)
{
    TSweepRange r;
    r.Start = ReadInteger(start);
    r.Stop = ReadInteger(stop);
    r.Points = ReadInteger(points);
    if (r.Start < 100000)
        throw std::runtime_error("Invalid start freq");
    if (r.Stop > maxFreq)
        throw std::runtime_error("Invalid stop freq");
    if (r.Start > r.Stop)
        throw std::runtime_error("Invalid start/stop freq");
    if (r.Points < 1)
        throw std::runtime_error("Invalid points count");
    return r;
}

} // namespace Vantrel
