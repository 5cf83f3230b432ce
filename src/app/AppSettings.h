#pragma once

#include "DisplayValue.h"

#include <QString>

namespace Vantrel {

// The main window's persistent settings, kept in the section "Settings" of
// the program's INI file.
struct TAppSettings
{
    qint32 range_start = 1000000;
    qint32 range_stop = 30000000;
    qint32 range_points = 100;
    qint32 track_limit = 4;
    QString port;
    TDispMode disp_mode = TDispMode::SWR; // the file stores its number
    bool R_vis = false;
    bool X_vis = false;

    // Missing file, section or key, and values that are not integers, give
    // the defaults. A display mode outside 0..2 or fewer than one interval
    // would break the mode tables and the sweep step, so those fall back to
    // the defaults too.
    static TAppSettings Load(const QString &path);

    // Writes the eight keys in their fixed order, keeping every other line
    // of the file; throws "Unable to write to <path>. <reason>" and leaves
    // the file as it was.
    void Save(const QString &path) const;
};

} // namespace Vantrel
