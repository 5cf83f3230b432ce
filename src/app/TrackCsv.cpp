#include "TrackCsv.h"

#include "Conversions.h"

#include <cmath>
#include <map>

namespace Vantrel {

namespace {

struct TRow {
    std::optional<double> Main, R, X;
};

// The return loss behind a shown value.
double ReturnLossOfValue(double value, TDispMode mode)
{
    switch (mode) {
    case TDispMode::SWR:
        return GammaToRL(SWRToGamma(value));
    case TDispMode::Gamma:
        return GammaToRL(value);
    case TDispMode::ReturnLoss:
        break;
    }
    return value;
}

// QString::number ignores the locale: always a '.' point, no grouping.
QString Number(double v)
{
    return std::isfinite(v) ? QString::number(v, 'g', 6) : QString();
}

QString Number(const std::optional<double> &v)
{
    return v ? Number(*v) : QString();
}

void Collect(std::map<double, TRow> &rows, const std::optional<std::vector<TGraphPoint>> &points,
             std::optional<double> TRow::*column)
{
    if (points)
        for (const TGraphPoint &p : *points)
            rows[p.X].*column = p.Y;
}

} // namespace

QString CsvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray TracksCsv(const std::vector<TCsvTrack> &tracks, TDispMode mode)
{
    QString out = QString::fromLatin1(kCsvHeader) + QStringLiteral("\r\n");
    for (const TCsvTrack &track : tracks) {
        std::map<double, TRow> rows; // ordered by frequency
        Collect(rows, track.Main, &TRow::Main);
        Collect(rows, track.R, &TRow::R);
        Collect(rows, track.X, &TRow::X);
        const QString name = CsvField(track.Name);
        for (const auto &[freq, row] : rows) {
            QString swr, rl, gamma;
            if (row.Main) {
                const double r = ReturnLossOfValue(*row.Main, mode);
                swr = Number(RLToSWR(r));
                rl = Number(r);
                gamma = Number(RLToGamma(r));
            }
            out += name + u',' + QString::number(std::llround(freq)) + u',' + swr + u',' + rl + u',' + gamma +
                   u',' + Number(row.R) + u',' + Number(row.X) + QStringLiteral("\r\n");
        }
    }
    return out.toUtf8();
}

} // namespace Vantrel
