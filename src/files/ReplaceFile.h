#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Vantrel {

// Why ReplaceFile failed.
struct TFileWriteError
{
    enum TStep { Create, Write };
    TStep Step;      // the file could not be made, or its bytes not written
    QString Reason;  // the system's reason, one line
};

// Replaces the whole content of the file at path with bytes (a symbolic link
// stays and its target is written; a file that is not writable is refused).
// On failure the file keeps its old content byte for byte, and the error
// tells why.
//
// The new content goes to a new file beside the old one, is flushed to disk
// and then renamed over it, so no one ever sees a half-written file. Where the
// folder forbids new files but the file itself is writable, the file is
// rewritten in place instead; room for the new content is reserved first, so
// a full disk still leaves the old content whole.
std::optional<TFileWriteError> ReplaceFile(const QString &path, const QByteArray &bytes);

// The error of the commands that save a file the user named:
// "Cannot create file "<path>". <reason>".
[[noreturn]] void ThrowCannotCreate(const QString &path, const QString &reason);

// ReplaceFile, failing with ThrowCannotCreate's error.
void SaveWholeFile(const QString &path, const QByteArray &bytes);

} // namespace Vantrel
