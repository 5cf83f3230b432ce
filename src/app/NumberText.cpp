#include "NumberText.h"

#include "AnalyzerCommands.h"

#include <QLocale>
#include <algorithm>
#include <cctype>

namespace Vantrel {

std::optional<qint32> ParseDecimal(const QString &text)
{
    qint32 v = 0;
    if (!ParseReading(text, v))
        return std::nullopt;
    return v;
}

std::optional<qint32> ParseIntOrHex(const QString &text)
{
    const QString t = text.trimmed();
    if (!t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        return ParseDecimal(text);
    const QStringView digits = QStringView(t).mid(2);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return isxdigit(c.unicode()); }))
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
