#include "FirmwareId.h"

#include "NumberText.h"

#include <QStringList>
#include <algorithm>

namespace Vantrel {

namespace {
constexpr qint64 kCeilingMHz = 150;
}

TFirmwareId ParseFirmwareId(const QString &line)
{
    TFirmwareId r;
    r.Id = line.startsWith(QStringLiteral("SWR ")) ? line.mid(4) : line;

    // Empty fields between dots count; an empty text after the last dot does not.
    QStringList parts = r.Id.split(u'.');
    if (parts.last().isEmpty())
        parts.removeLast();
    r.PartCount = int(parts.size());

    qint64 mhz = kCeilingMHz;
    if (r.PartCount >= 3) {
        mhz = ParseDecimal(parts[2]).value_or(kCeilingMHz);
        r.Lite = parts.last() == QStringLiteral("lite");
    }
    // 64-bit so that a large field cannot overflow before the ceiling applies.
    r.MaxFreq = qint32(std::min(mhz, kCeilingMHz) * 1000000);
    return r;
}

} // namespace Vantrel
