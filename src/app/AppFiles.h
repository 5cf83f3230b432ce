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
};

} // namespace Vantrel
