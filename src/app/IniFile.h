#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Vantrel {

// A minimal INI file that edits values in place: every line it does not
// change (comments, other sections, unknown keys, their order) is written
// back exactly as it was read, byte for byte, whatever its encoding. Section
// and key names match ignoring case; the values it reads and writes are
// UTF-8.
class TIniFile
{
public:
    // Reads the file; a missing or unreadable file gives an empty document.
    explicit TIniFile(const QString &path);

    const QString &Path() const { return FPath; }

    // The trimmed value of section/key, or a null string when absent.
    QString Value(const QString &section, const QString &key) const;
    // Replaces the key's line, or adds it at the end of its section (the
    // section is appended when missing).
    void SetValue(const QString &section, const QString &key, const QString &value);

    // Writes the whole document (see ReplaceFile: a failure leaves the old
    // file as it was); throws "Unable to write to <path>. <reason>".
    void Save() const;

private:
    int FindSection(const QString &section) const;
    int FindKey(int sectionLine, const QString &key) const;
    int SectionEnd(int sectionLine) const;

    QString FPath;
    QList<QByteArray> FLines;
    QByteArray FEol = "\n";
};

} // namespace Vantrel
