#include "SaveData.h"

#include "ReplaceFile.h"
#include "SaveImage.h"
#include "TrackCsv.h"
#include "Tracks.h"


void SaveTracksCsv(const TCurves &curves, Vantrel::TDispMode mode, bool rVis, bool xVis, const QString &path)
{
    Vantrel::SaveWholeFile(path, Vantrel::TracksCsv(Vantrel::VisibleTracks(curves, rVis, xVis), mode));
}

void SaveGraphData(const TCurves &curves, Vantrel::TDispMode mode, bool rVis, bool xVis, QWidget *parent)
{
    const QString path = AskSavePath(parent, QStringLiteral("CSV File (*.csv)"), QStringLiteral("csv"));
    if (!path.isEmpty())
        SaveTracksCsv(curves, mode, rVis, xVis, path);
}
