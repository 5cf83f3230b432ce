#pragma once

#include <QString>

namespace Vantrel {

// Where the program keeps its settings and its calibration.
struct TAppFiles
{
    QString Settings;
    QString Calibration;

    // Beside the executable, with its name and the extensions ".ini" / ".cfg".
    static TAppFiles BesideExecutable();
    // Beside the executable when its folder is writable (a program built or
    // unpacked by the user); otherwise, as for an installed program, with the
    // same names in the user's configuration folder
    // (QStandardPaths::AppConfigLocation), which is made when missing.
    static TAppFiles ForExecutable();
    // The choice of ForExecutable: exePath's folder when writable, else
    // configDir.
    static TAppFiles Choose(const QString &exePath, bool folderWritable, const QString &configDir);
};

} // namespace Vantrel
