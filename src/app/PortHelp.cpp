#include "PortHelp.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

namespace Vantrel {

QString OpenFailureText(const QString &message, int code, const QString &group)
{
    switch (code) {
    case EACCES: {
        const QString g = group.isEmpty() ? QStringLiteral("dialout") : group;
        return message + QStringLiteral("\nNo permission to use the port: add yourself to the group \"%1\" that "
                                        "owns it (sudo usermod -aG %1 $USER), then log in again.")
                             .arg(g);
    }
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:
        return message + QStringLiteral("\nThe device is not there: the analyzer was unplugged. Plug it in "
                                        "and pick it from the list again.");
    default:
        return message;
    }
}

QString DeviceAccessGroup(const QString &path)
{
    struct stat st;
    if (::stat(path.toLocal8Bit().constData(), &st) != 0 || (st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return QString();
    std::vector<char> buffer(16384);
    group entry;
    group *found = nullptr;
    if (::getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return QString();
    return QString::fromLocal8Bit(found->gr_name);
}

} // namespace Vantrel
