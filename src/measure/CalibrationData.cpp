#include "CalibrationData.h"

#include "AnalyzerCommands.h"
#include "Conversions.h"
#include "ReplaceFile.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>
#include <QStringList>
#include <QStringView>

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

// The file's lines, as views into its text: a line ends at CR LF, CR or LF.
QList<QStringView> Lines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines << text.sliced(start, i - start);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines << text.sliced(start);
    return lines;
}

// The value of the first line whose text before its first "=" matches name,
// ignoring case.
bool FindValue(const QList<QStringView> &lines, const char *name, QStringView &value)
{
    for (QStringView line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (line.left(eq).compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            value = line.sliced(eq + 1);
            return true;
        }
    }
    return false;
}

// Piece n of the comma-separated list goes to element n; elements without a
// piece keep their values, pieces beyond the array are not even looked at
// (a list may be huge), and a trailing "," adds no empty piece.
void ReadLevels(QStringView list, decltype(TCalibrationData::ZeroLevel) &levels)
{
    for (size_t k = 0; k < levels.size(); ++k) {
        const qsizetype comma = list.indexOf(u',');
        const QStringView piece = comma < 0 ? list : list.first(comma);
        if (comma < 0 && piece.isEmpty() && k > 0)
            return;
        qint32 v = 0;
        levels[k] = ParseReading(piece, v) ? v : 0;
        if (comma < 0)
            return;
        list = list.sliced(comma + 1);
    }
}

bool ParseSlope(QStringView text, double &value)
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

    const QString text = DecodeText(bytes);
    const QList<QStringView> lines = Lines(text);

    TCalibrationData loaded = *this;
    QStringView value;
    if (!FindValue(lines, kXTalFreqKey, value) || !ParseReading(value, loaded.XTalFreq))
        loaded.XTalFreq = kDefaultXTalFreq;
    if (!FindValue(lines, kSlopeKey, value) || !ParseSlope(value, loaded.Slope))
        loaded.Slope = kDefaultSlope;
    if (FindValue(lines, kZeroLevelKey, value) && !value.isEmpty())
        ReadLevels(value, loaded.ZeroLevel);
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

    if (const auto failure = ReplaceFile(fileName, text.toLatin1())) {
        const char *what = failure->Step == TFileWriteError::Create ? "Cannot create file" : "Cannot write file";
        throw std::runtime_error(FileError(what, fileName, failure->Reason).toStdString());
    }
}

double TCalibrationData::Cvt2RL(qint32 freq, qint32 val) const
{
    const int idx = FreqToIndex(freq);
    // The difference is taken in integers (wide enough never to overflow).
    const double rl = double(qint64(val) - ZeroLevel[idx - 1]) * Slope;
    return rl > 0 ? 0 : rl;
}

} // namespace Vantrel
