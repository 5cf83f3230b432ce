#include "IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <stdexcept>

namespace Vantrel {

namespace {

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
    const QByteArray data = f.readAll();
    if (data.contains("\r\n"))
        FEol = QStringLiteral("\r\n");
    QString text = QString::fromUtf8(data);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    FLines = text.split(u'\n');
    // A final line end does not start another line.
    if (!FLines.isEmpty() && FLines.last().isEmpty())
        FLines.removeLast();
}

int TIniFile::FindSection(const QString &section) const
{
    for (int i = 0; i < FLines.size(); ++i) {
        const QString t = FLines[i].trimmed();
        if (IsSectionHeader(t) && t.mid(1, t.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TIniFile::SectionEnd(int sectionLine) const
{
    int i = sectionLine + 1;
    while (i < FLines.size() && !IsSectionHeader(FLines[i].trimmed()))
        ++i;
    return i;
}

int TIniFile::FindKey(int sectionLine, const QString &key) const
{
    const int end = SectionEnd(sectionLine);
    for (int i = sectionLine + 1; i < end; ++i) {
        const QString &line = FLines[i];
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
    const QString &line = FLines[k];
    return line.mid(line.indexOf(u'=') + 1).trimmed();
}

void TIniFile::SetValue(const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + u'=' + value;
    int s = FindSection(section);
    if (s < 0) {
        if (!FLines.isEmpty() && !FLines.last().trimmed().isEmpty())
            FLines.append(QString());
        FLines.append(u'[' + section + u']');
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
    while (pos - 1 > s && FLines[pos - 1].trimmed().isEmpty())
        --pos;
    FLines.insert(pos, entry);
}

void TIniFile::Save() const
{
    QSaveFile f(FPath);
    bool ok = f.open(QIODevice::WriteOnly);
    if (ok) {
        QByteArray data;
        for (const QString &line : FLines)
            data += line.toUtf8() + FEol.toLatin1();
        ok = f.write(data) == data.size() && f.commit();
    }
    if (!ok)
        throw std::runtime_error(("Unable to write to " + FPath).toStdString());
}

} // namespace Vantrel
