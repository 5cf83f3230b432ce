#include "AppFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Vantrel {

TAppFiles TAppFiles::BesideExecutable()
{
    const QString exe = QCoreApplication::applicationFilePath();
    return Choose(exe, true, QString());
}

TAppFiles TAppFiles::ForExecutable()
{
    const QString exe = QCoreApplication::applicationFilePath();
    const QFileInfo folder(QFileInfo(exe).absolutePath());
    const bool writable = folder.isWritable();
    const QString config = writable ? QString() : QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (!writable)
        QDir().mkpath(config);
    return Choose(exe, writable, config);
}

TAppFiles TAppFiles::Choose(const QString &exePath, bool folderWritable, const QString &configDir)
{
    const QFileInfo exe(exePath);
    const QString base = (folderWritable ? exe.absolutePath() : configDir) + u'/' + exe.completeBaseName();
    return {base + QStringLiteral(".ini"), base + QStringLiteral(".cfg")};
}

} // namespace Vantrel
