#pragma once

#include <QString>
#include <optional>

namespace Vantrel {

// A 32-bit signed decimal integer by the analyzer's reading rule (leading
// spaces, sign, digits, nothing after); no value for anything else.
std::optional<qint32> ParseDecimal(const QString &text);

// 0-9, a-f, A-F; false for every other character.
bool IsHexDigit(QChar c);

// As ParseDecimal, but a text beginning with "0x" is hexadecimal.
std::optional<qint32> ParseIntOrHex(const QString &text);

// A frequency in the "#,##0" pattern: thousands grouped by the locale's
// separator.
QString FormatFreq(qint64 hz);

} // namespace Vantrel
