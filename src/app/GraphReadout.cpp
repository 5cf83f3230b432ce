#include "GraphReadout.h"

#include "Conversions.h"
#include "DispMode.h"
#include "NumberText.h"

#include <QLocale>

#include <cmath>

namespace Vantrel {

namespace {

// The value, then "dB" in return-loss mode.
QString ValueWithUnit(double value, TDispMode dispMode)
{
    return FormatValue(value) + (dispMode == TDispMode::ReturnLoss ? QStringLiteral("dB") : QString());
}

// "<hz>Hz, <symbol>=<value>[dB]"
QString FreqAndValue(double hz, double value, TDispMode dispMode)
{
    return FormatHz(hz) + QStringLiteral("Hz, ") + DispModeSymbol(dispMode) + u'=' + ValueWithUnit(value, dispMode);
}

} // namespace

QString FormatHz(double hz)
{
    const double whole = std::round(hz);
    if (std::fabs(whole) < 9.0e18)
        return FormatFreq(static_cast<qint64>(whole));
    // Beyond a 64-bit integer (or not a number): the locale still groups.
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(whole, 'f', 0);
}

QString FormatValue(double value)
{
    QString text = QString::number(value, 'f', 1);
    if (text.startsWith(u'-') && text.toDouble() == 0.0)
        text.remove(0, 1);
    return text;
}

QString CursorText(TGraphPoint p, TDispMode dispMode, std::optional<double> rightValue)
{
    QString text = FreqAndValue(p.X, p.Y, dispMode);
    if (rightValue)
        text += QStringLiteral(", R=") + FormatValue(*rightValue);
    return text;
}

QString MeasureText(TGraphPoint from, TGraphPoint to, TDispMode dispMode)
{
    return QStringLiteral("\u0394 ") + FreqAndValue(std::fabs(from.X - to.X), std::fabs(from.Y - to.Y), dispMode);
}

QString MarkerText(TGraphPoint marker, TDispMode dispMode)
{
    return FormatHz(marker.X) + QStringLiteral("Hz, ") + ValueWithUnit(marker.Y, dispMode);
}

double SwrOfValue(double value, TDispMode dispMode)
{
    switch (dispMode) {
    case TDispMode::SWR:
        break;
    case TDispMode::Gamma:
        return GammaToSWR(value);
    case TDispMode::ReturnLoss:
        return RLToSWR(value);
    }
    return value;
}

TSwrSpans SwrSpans(std::span<const TGraphPoint> points, double winMin, double winMax, TDispMode dispMode)
{
    TSwrSpans r;
    // Whether a span is open is kept apart from where it began, so that a
    // span may begin at any frequency, 0 Hz and below included.
    bool open = false;
    double start = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        const TGraphPoint &p = points[i];
        if (p.X < winMin || p.X > winMax)
            continue;
        if (SwrOfValue(p.Y, dispMode) > 2) {
            if (open) {
                r.Text += FormatHz(start) + QStringLiteral("Hz - ") + FormatHz(p.X) + QStringLiteral("Hz\r\n");
                r.Markers.push_back({start, p.Y});
                r.Markers.push_back({p.X, p.Y});
                open = false;
            }
        } else if (!open) {
            open = true;
            start = p.X;
        }
    }
    return r;
}

namespace {

// The value of a curve at frequency freq, when it has a point there.
std::optional<double> ValueAt(std::optional<std::span<const TGraphPoint>> points, double freq)
{
    if (points)
        for (const TGraphPoint &p : *points)
            if (p.X == freq)
                return p.Y;
    return std::nullopt;
}

} // namespace

std::optional<TMinSwr> MinSwr(std::span<const TGraphPoint> points, TDispMode dispMode,
                              std::optional<std::span<const TGraphPoint>> rPoints,
                              std::optional<std::span<const TGraphPoint>> xPoints)
{
    std::optional<TMinSwr> best;
    for (const TGraphPoint &p : points) {
        const double s = SwrOfValue(p.Y, dispMode);
        if (!best || s < best->Swr)
            best = TMinSwr{p.X, s, {}, {}};
    }
    if (best) {
        best->R = ValueAt(rPoints, best->Freq);
        best->X = ValueAt(xPoints, best->Freq);
    }
    return best;
}

QString MinSwrText(const TMinSwr &m)
{
    QString text = QStringLiteral("Min SWR ") + QString::number(m.Swr, 'f', 2) + QStringLiteral(" at ") +
                   FormatHz(m.Freq) + QStringLiteral("Hz");
    if (m.R)
        text += QStringLiteral(", R=") + FormatValue(*m.R);
    if (m.X)
        text += QStringLiteral(", |X|=") + FormatValue(*m.X);
    return text;
}

} // namespace Vantrel
