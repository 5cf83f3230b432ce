#include "CalibrationData.h"

#include "AnalyzerCommands.h"
#include "Conversions.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

#include <cmath>
#include <stdexcept>

namespace Vantrel {

namespace {

const char *const kXTalFreqKey = "XTalFreq";
const char *const kZeroLevelKey = "ZeroLevel";
const char *const kSlopeKey = "Slope";

QString DecodeText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        auto enc = bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
        QStringDecoder decode(enc);
        return decode(bytes.mid(2));
    }
    return QString::fromLatin1(bytes); // 8-bit text; the file is plain ASCII
}

// The value of the first line whose text before its first "=" matches name,
// ignoring case.
bool FindValue(const QStringList &lines, const char *name, QString &value)
{
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (QStringView(line).left(eq).compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            value = line.mid(eq + 1);
            return true;
        }
    }
    return false;
}

bool ParseSlope(const QString &text, double &value)
{
    // "1,000.5" is no number in the file: the C locale would take the ","
    // as a thousands separator unless told not to.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

QString FileError(const char *what, const QString &fileName, const QString &reason)
{
    return QStringLiteral("%1 \"%2\". %3").arg(QLatin1String(what), fileName, reason);
}

} // namespace

void TCalibrationData::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(FileError("Cannot open file", fileName, file.errorString()).toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error(FileError("Cannot read file", fileName, file.errorString()).toStdString());

    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = DecodeText(bytes).split(lineBreak);

    TCalibrationData loaded = *this;
    QString value;
    if (!FindValue(lines, kXTalFreqKey, value) || !ParseReading(value, loaded.XTalFreq))
        loaded.XTalFreq = kDefaultXTalFreq;
    if (!FindValue(lines, kSlopeKey, value) || !ParseSlope(value, loaded.Slope))
        loaded.Slope = kDefaultSlope;
    if (FindValue(lines, kZeroLevelKey, value) && !value.isEmpty()) {
        QStringList pieces = value.split(u',');
        if (pieces.size() > 1 && pieces.back().isEmpty())
            pieces.removeLast(); // a trailing "," adds no empty piece
        const qsizetype n = qMin<qsizetype>(pieces.size(), loaded.ZeroLevel.size());
        for (qsizetype k = 0; k < n; ++k) {
            qint32 v = 0;
            loaded.ZeroLevel[k] = ParseReading(pieces[k], v) ? v : 0;
        }
    }
    *this = loaded;
}

void TCalibrationData::SaveToFile(const QString &fileName) const
{
    QStringList levels;
    levels.reserve(ZeroLevel.size());
    for (qint32 v : ZeroLevel)
        levels << QString::number(v);
    const QString text = QStringLiteral("%1=%2\r\n%3=%4\r\n%5=%6\r\n")
                             .arg(QLatin1String(kXTalFreqKey), QString::number(XTalFreq),
                                  QLatin1String(kZeroLevelKey), levels.join(u','),
                                  QLatin1String(kSlopeKey), QString::number(Slope, 'g', 15));

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(FileError("Cannot create file", fileName, file.errorString()).toStdString());
    file.write(text.toLatin1());
    if (!file.commit())
        throw std::runtime_error(FileError("Cannot write file", fileName, file.errorString()).toStdString());
}

double TCalibrationData::Cvt2RL(qint32 freq, qint32 val) const
{
    const int idx = FreqToIndex(freq);
    // The difference is taken in integers (wide enough never to overflow).
    const double rl = double(qint64(val) - ZeroLevel[idx - 1]) * Slope;
    return rl > 0 ? 0 : rl;
}

} // namespace Vantrel
