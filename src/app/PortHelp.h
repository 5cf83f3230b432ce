#pragma once

#include <QString>

namespace Vantrel {

// The message of a failed open, with one line of help where the system's
// errno says what to do: no permission (EACCES) names the group that owns
// the device and how to join it; a device that is not there (ENOENT, ENODEV,
// ENXIO) or hung up (EIO) was unplugged. Other codes keep message as it is.
// group is the device file's group; empty when unknown ("dialout" is said).
QString OpenFailureText(const QString &message, int code, const QString &group);

// The name of the group that owns the file at path, or empty when the file
// or its group cannot be found.
QString FileGroup(const QString &path);

} // namespace Vantrel
