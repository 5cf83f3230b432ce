#include "AppSettings.h"

#include "IniFile.h"
#include "NumberText.h"

namespace Vantrel {

namespace {

const QString kSection = QStringLiteral("Settings");

qint32 ReadInt(const TIniFile &ini, const char *key, qint32 def)
{
    return ParseIntOrHex(ini.Value(kSection, QString::fromLatin1(key))).value_or(def);
}

bool ReadBool(const TIniFile &ini, const char *key, bool def)
{
    return ReadInt(ini, key, def ? 1 : 0) != 0;
}

} // namespace

TAppSettings TAppSettings::Load(const QString &path)
{
    const TIniFile ini(path);
    TAppSettings s;
    const TAppSettings def;
    s.range_start = ReadInt(ini, "range_start", def.range_start);
    s.range_stop = ReadInt(ini, "range_stop", def.range_stop);
    s.range_points = ReadInt(ini, "range_points", def.range_points);
    s.track_limit = ReadInt(ini, "track_limit", def.track_limit);
    s.port = ini.Value(kSection, QStringLiteral("port"));
    const qint32 mode = ReadInt(ini, "disp_mode", int(def.disp_mode));
    s.R_vis = ReadBool(ini, "R_vis", def.R_vis);
    s.X_vis = ReadBool(ini, "X_vis", def.X_vis);
    s.disp_mode = IsValidDispMode(mode) ? TDispMode(mode) : def.disp_mode;
    if (s.range_points < 1)
        s.range_points = def.range_points;
    return s;
}

void TAppSettings::Save(const QString &path) const
{
    TIniFile ini(path);
    ini.SetValue(kSection, QStringLiteral("range_start"), QString::number(range_start));
    ini.SetValue(kSection, QStringLiteral("range_stop"), QString::number(range_stop));
    ini.SetValue(kSection, QStringLiteral("range_points"), QString::number(range_points));
    ini.SetValue(kSection, QStringLiteral("track_limit"), QString::number(track_limit));
    ini.SetValue(kSection, QStringLiteral("port"), port);
    ini.SetValue(kSection, QStringLiteral("disp_mode"), QString::number(int(disp_mode)));
    ini.SetValue(kSection, QStringLiteral("R_vis"), R_vis ? QStringLiteral("1") : QStringLiteral("0"));
    ini.SetValue(kSection, QStringLiteral("X_vis"), X_vis ? QStringLiteral("1") : QStringLiteral("0"));
    ini.Save();
}

} // namespace Vantrel
