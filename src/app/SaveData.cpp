#include "SaveData.h"

#include "ReplaceFile.h"
#include "SaveImage.h"
#include "TrackCsv.h"
#include "Tracks.h"

#include <stdexcept>

void SaveTracksCsv(const TCurves &curves, Vantrel::TDispMode mode, bool rVis, bool xVis, const QString &path)
{
    const QByteArray csv = Vantrel::TracksCsv(Vantrel::VisibleTracks(curves, rVis, xVis), mode);
    if (const auto failure = Vantrel::ReplaceFile(path, csv))
        throw std::runtime_error(
            QStringLiteral("Cannot create file \"%1\". %2").arg(path, failure->Reason).toStdString());
}

void SaveGraphData(const TCurves &curves, Vantrel::TDispMode mode, bool rVis, bool xVis, QWidget *parent)
{
    const QString path = AskSavePath(parent, QStringLiteral("CSV File (*.csv)"), QStringLiteral("csv"));
    if (!path.isEmpty())
        SaveTracksCsv(curves, mode, rVis, xVis, path);
}
