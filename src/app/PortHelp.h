#pragma once

#include <QString>

namespace Vantrel {

// The message of a failed open, with one line of help where the system's
// errno says what to do: no permission (EACCES) names the group that owns
// the device and how to join it; a device that is not there (ENOENT, ENODEV,
// ENXIO) or hung up (EIO) was unplugged. Other codes keep message as it is.
// group is the device file's group; empty when unknown ("dialout" is said).
QString OpenFailureText(const QString &message, int code, const QString &group);

// The name of the group whose members may read and write the device file at
// path; empty when the file, its group or that access is missing (joining
// the group of a device only its owner may use would not help).
QString DeviceAccessGroup(const QString &path);

} // namespace Vantrel
