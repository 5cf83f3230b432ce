#include "IniFile.h"

#include "ReplaceFile.h"

#include <QFile>
#include <stdexcept>

namespace Vantrel {

namespace {

// A line's text for matching; the bytes themselves stay as read.
QString Trimmed(const QByteArray &line)
{
    return QString::fromUtf8(line).trimmed();
}

bool IsSectionHeader(const QString &trimmed)
{
    return trimmed.startsWith(u'[') && trimmed.endsWith(u']');
}

bool IsComment(const QString &trimmed)
{
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

} // namespace

TIniFile::TIniFile(const QString &path) : FPath(path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    QByteArray data = f.readAll();
    if (data.contains("\r\n")) {
        FEol = "\r\n";
        data.replace("\r\n", "\n");
    }
    FLines = data.split('\n');
    // A final line end does not start another line.
    if (!FLines.isEmpty() && FLines.last().isEmpty())
        FLines.removeLast();
}

int TIniFile::FindSection(const QString &section) const
{
    for (int i = 0; i < FLines.size(); ++i) {
        const QString t = Trimmed(FLines[i]);
        if (IsSectionHeader(t) && t.mid(1, t.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TIniFile::SectionEnd(int sectionLine) const
{
    int i = sectionLine + 1;
    while (i < FLines.size() && !IsSectionHeader(Trimmed(FLines[i])))
        ++i;
    return i;
}

int TIniFile::FindKey(int sectionLine, const QString &key) const
{
    const int end = SectionEnd(sectionLine);
    for (int i = sectionLine + 1; i < end; ++i) {
        const QString line = QString::fromUtf8(FLines[i]);
        const int eq = line.indexOf(u'=');
        if (eq < 0 || IsComment(line.trimmed()))
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TIniFile::Value(const QString &section, const QString &key) const
{
    const int s = FindSection(section);
    if (s < 0)
        return {};
    const int k = FindKey(s, key);
    if (k < 0)
        return {};
    const QByteArray &line = FLines[k];
    return QString::fromUtf8(line.mid(line.indexOf('=') + 1)).trimmed();
}

void TIniFile::SetValue(const QString &section, const QString &key, const QString &value)
{
    const QByteArray entry = (key + u'=' + value).toUtf8();
    int s = FindSection(section);
    if (s < 0) {
        if (!FLines.isEmpty() && !Trimmed(FLines.last()).isEmpty())
            FLines.append(QByteArray());
        FLines.append((u'[' + section + u']').toUtf8());
        FLines.append(entry);
        return;
    }
    const int k = FindKey(s, key);
    if (k >= 0) {
        FLines[k] = entry;
        return;
    }
    // After the section's last non-blank line, so a blank separator line
    // before the next section stays where it is.
    int pos = SectionEnd(s);
    while (pos - 1 > s && Trimmed(FLines[pos - 1]).isEmpty())
        --pos;
    FLines.insert(pos, entry);
}

void TIniFile::Save() const
{
    QByteArray data;
    for (const QByteArray &line : FLines)
        data += line + FEol;
    if (const auto failure = ReplaceFile(FPath, data))
        throw std::runtime_error(QStringLiteral("Unable to write to %1. %2").arg(FPath, failure->Reason).toStdString());
}

} // namespace Vantrel
