#include "AppFiles.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace Vantrel {

TAppFiles TAppFiles::BesideExecutable()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    const QString base = exe.absolutePath() + u'/' + exe.completeBaseName();
    return {base + QStringLiteral(".ini"), base + QStringLiteral(".cfg")};
}

} // namespace Vantrel
