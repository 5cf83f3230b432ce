#include "NumberText.h"

#include "AnalyzerCommands.h"

#include <QLocale>
#include <algorithm>

namespace Vantrel {

std::optional<qint32> ParseDecimal(const QString &text)
{
    qint32 v = 0;
    if (!ParseReading(text, v))
        return std::nullopt;
    return v;
}

bool IsHexDigit(QChar c)
{
    // Not isxdigit: its table lookup is undefined beyond 8-bit values.
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

std::optional<qint32> ParseIntOrHex(const QString &text)
{
    const QString t = text.trimmed();
    if (!t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        return ParseDecimal(text);
    const QStringView digits = QStringView(t).mid(2);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), IsHexDigit))
        return std::nullopt;
    bool ok = false;
    const qint32 v = digits.toInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return v;
}

QString FormatFreq(qint64 hz)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(hz);
}

} // namespace Vantrel
