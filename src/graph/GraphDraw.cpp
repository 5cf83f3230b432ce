// The drawing of TGraphM: the whole picture is built off-screen in one pass.

#include "GraphM.h"

#include "AxisTicks.h"
#include "CurveDrawing.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <new>

using Lock = std::lock_guard<std::recursive_mutex>;

namespace {

// The picture is laid out for a 96 dpi canvas, whatever the screen says.
constexpr int kDotsPerMeter = 3780;
constexpr int kValueLabelSpacing = 14;

QFont NamedFont(const char *family, int points, bool bold = false)
{
    QFont f(QString::fromLatin1(family));
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

QPen SolidPen(const QColor &color)
{
    QPen pen(color, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    return pen;
}

QPen DottedPen(const QColor &color)
{
    QPen pen = SolidPen(color);
    pen.setDashPattern({1.0, 1.0});
    return pen;
}

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

// A horizontal or vertical line from a towards b, b's own pixel excluded.
// Qt's flat-capped cosmetic lines leave out their right or bottom end pixel,
// whichever way they run, so the pixel run is drawn from its low end.
void LineTo(QPainter &p, QPoint a, QPoint b)
{
    if (a == b)
        return;
    const QPoint step(Sign(b.x() - a.x()), Sign(b.y() - a.y()));
    const QPoint last = b - step;
    const QPoint lo(std::min(a.x(), last.x()), std::min(a.y(), last.y()));
    const QPoint hi(std::max(a.x(), last.x()), std::max(a.y(), last.y()));
    p.drawLine(lo, hi + QPoint(step.x() != 0, step.y() != 0));
}

// One line of text placed in the box x1..x2 (exclusive), top-aligned and
// clipped to the box, on an opaque background behind the text itself.
void DrawBoxText(QPainter &p, int x1, int y1, int x2, int y2, Qt::Alignment align,
                 const QString &text, const QColor &background)
{
    const QRect box(x1, y1, x2 - x1, y2 - y1);
    if (box.isEmpty())
        return;
    const QFontMetrics fm = p.fontMetrics();
    const int w = fm.horizontalAdvance(text);
    const int left = align & Qt::AlignRight ? x2 - w : x1 + (box.width() - w) / 2;
    const QRect textRect(left, y1, w, fm.height());
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.fillRect(textRect & box, background);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    p.restore();
}

} // namespace

QImage TGraphM::DrawToBitmap()
{
    Lock lock(Mutex());
    if (width() <= 0 || height() <= 0)
        return QImage();
    try {
        return DrawPicture();
    } catch (...) {
        // A layer may be half made.
        FLayers.Clear();
        throw;
    }
}

QImage TGraphM::DrawPicture()
{
    ResetWindows();
    const TGraphSceneKey key = SceneKey();
    const int n = FCurves->Count();
    std::vector<quint64> stamps(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        stamps[size_t(i)] = FCurves->Items(i)->ChangeStamp();

    QImage image(width(), height(), QImage::Format_RGB32);
    if (image.isNull())
        throw std::bad_alloc();
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);

    const bool reuse = FLayerCache && FLayers.Valid && FLayers.Key == key;
    TLayerPlan plan;
    if (reuse) {
        plan = PlanLayers(FLayers.Drawn, FLayers.CurveCount, stamps);
        SetGeometry(FLayers.Geometry);
        CopyPixels(plan.FromCurveLayer ? FLayers.Curves : FLayers.Back, image);
    } else {
        FLayers.Valid = false;
        plan.Keep = std::max(n - 1, 0);
    }

    QPainter p(&image);
    if (!reuse) {
        DrawBackground(p);
        if (FLayerCache) {
            CopyPixels(image, FLayers.Back);
            // Keyed by the label boxes and lengths this drawing leaves
            // behind: a drawing that starts from them gives this picture.
            FLayers.Key = SceneKey();
            FLayers.Geometry = Geometry();
        }
    }
    const QRect plot = PlotClip();
    if (!plot.isEmpty())
        p.setClipRect(plot);
    for (int i = plan.Start; i <= n; ++i) {
        if (FLayerCache && i == plan.Keep && plan.Snapshot()) {
            // The raster engine writes straight into the image, so its
            // pixels are complete here.
            CopyPixels(image, FLayers.Curves);
            FLayers.CurveCount = i;
        }
        if (i < n && !plot.isEmpty())
            DrawCurve(p, *FCurves->Items(i), plot);
    }
    DrawMarkers(p);
    p.end();
    if (FLayerCache) {
        FLayers.Drawn = std::move(stamps);
        FLayers.Valid = true;
    }
    return image;
}

TGraphSceneKey TGraphM::SceneKey() const
{
    TGraphSceneKey k;
    k.Size = size();
    k.Focus = hasFocus();
    k.Color = FColor.rgb();
    k.ColorAxis = FColorAxis.rgb();
    k.ColorGrid = FColorGrid.rgb();
    k.ZoomTextColor = clTxtScale.rgb();
    k.GridX = FGridX;
    k.GridY = FGridY;
    k.ShowTextScale = FShowTextScale;
    k.Details = FDetails;
    k.RightAxis = HasVisibleCurveOnAxis(axRight);
    k.Precision = FPrecision;
    k.ScaleX = FScaleX;
    const double ranges[6] = {FMinXValue, FMaxXValue, FMinYValue, FMaxYValue, FMinYRValue, FMaxYRValue};
    const double windows[6] = {scMinX, scMaxX, scMinY, scMaxY, scMinYr, scMaxYr};
    std::copy(std::begin(ranges), std::end(ranges), k.Ranges);
    std::copy(std::begin(windows), std::end(windows), k.Windows);
    k.SclKX = SclKX;
    k.SclKY = SclKY;
    k.RTextX = RTextX;
    k.RTextY = RTextY;
    k.RTextYr = RTextYr;
    k.LenX = LenX;
    k.LenY = LenY;
    return k;
}

TGraphGeometry TGraphM::Geometry() const
{
    return {MargX, LenX, LenY, RTextX, RTextY, RTextYr, VpDX, VpDY, VpDYr};
}

void TGraphM::SetGeometry(const TGraphGeometry &g)
{
    MargX = g.MargX;
    LenX = g.LenX;
    LenY = g.LenY;
    RTextX = g.RTextX;
    RTextY = g.RTextY;
    RTextYr = g.RTextYr;
    VpDX = g.VpDX;
    VpDY = g.VpDY;
    VpDYr = g.VpDYr;
}

void TGraphM::DrawBackground(QPainter &p)
{
    const int W = width();
    const int H = height();
    p.fillRect(0, 0, W, H, FColor);
    if (hasFocus()) {
        p.setPen(DottedPen(Qt::black));
        p.drawRect(0, 0, W - 1, H - 1);
    }
    if (FShowTextScale)
        DrawZoomText(p);
    p.setFont(NamedFont("Tahoma", 8));
    MargX = 20;
    p.setPen(SolidPen(Qt::black));
    DrawValueAxes(p);
    DrawXAxis(p);
}

void TGraphM::DrawZoomText(QPainter &p)
{
    p.save();
    p.setFont(NamedFont("Arial", 20, true));
    const QString text = QStringLiteral("\u041C: ") + QString::number(FScaleX) + u'%';
    const QFontMetrics fm = p.fontMetrics();
    const QRect r(width() - fm.horizontalAdvance(text) - 30, 10, fm.horizontalAdvance(text), fm.height());
    p.fillRect(r, FColor);
    p.setPen(FColor == QColor(Qt::white) ? clTxtScale : QColor(Qt::white));
    p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    p.restore();
}

void TGraphM::MeasureLabelBoxes(QPainter &p, bool left, bool right)
{
    const QFontMetrics fm = p.fontMetrics();
    if (left)
        RTextY = AxisLabelBox(scMaxY, scMinY, FPrecision, fm);
    if (right)
        RTextYr = AxisLabelBox(scMaxYr, scMinYr, FPrecision, fm);
    if (left || right) {
        RTextX = AxisLabelBox(scMaxX, scMinX, FPrecision, fm);
        UpdateGeometry();
    }
}

void TGraphM::DrawValueAxes(QPainter &p)
{
    const int H = height();
    const int axisY = H - MargY;
    const bool leftOk = scMaxY > scMinY;
    const bool rightOk = scMaxYr > scMinYr;
    const int lenY = H - MargY - 8;
    TAxisTicks leftTicks, rightTicks;
    if (leftOk) {
        VpDY = lenY > 0 ? (scMaxY - scMinY) / lenY : 0;
        leftTicks = ComputeAxisTicks(scMinY, scMaxY, VpDY, kValueLabelSpacing);
    }
    if (rightOk) {
        VpDYr = lenY > 0 ? (scMaxYr - scMinYr) / lenY : 0;
        rightTicks = ComputeAxisTicks(scMinYr, scMaxYr, VpDYr, kValueLabelSpacing);
    }
    MeasureLabelBoxes(p, leftOk, rightOk);

    const auto frameTopBottom = [&] {
        p.setPen(SolidPen(FColorAxis));
        LineTo(p, {MargX, axisY}, {MargX + LenX, axisY});
        LineTo(p, {MargX, axisY - LenY}, {MargX + LenX, axisY - LenY});
        p.setPen(SolidPen(Qt::black));
    };

    if (leftOk) {
        const int w = RTextY.width();
        const int h2 = RTextY.height() / 2;
        for (const TAxisTick &t : leftTicks.Ticks) {
            const int y = axisY - t.Pos;
            if (FGridY) {
                p.setPen(DottedPen(FColorGrid));
                LineTo(p, {MargX + LenX, y}, {MargX, y});
                p.setPen(SolidPen(Qt::black));
            }
            LineTo(p, {MargX, y}, {MargX - 4, y});
            DrawBoxText(p, MargX - 6 - w, y - h2, MargX - 6, y + h2, Qt::AlignRight, t.Label, FColor);
        }
        frameTopBottom();
    } else {
        LineTo(p, {20, H - 20}, {20, 2});
    }

    // Right labels stand inside the plot, against its right edge.
    if (rightOk && HasVisibleCurveOnAxis(axRight)) {
        const int edge = MargX + LenX;
        const int w = RTextYr.width();
        const int h2 = RTextYr.height() / 2;
        for (const TAxisTick &t : rightTicks.Ticks) {
            const int y = axisY - t.Pos;
            LineTo(p, {edge, y}, {edge - 4, y});
            DrawBoxText(p, edge - 6 - w, y - h2, edge - 6, y + h2, Qt::AlignRight, t.Label, FColor);
        }
        frameTopBottom();
    }
}

void TGraphM::DrawXAxis(QPainter &p)
{
    const int H = height();
    const int axisY = H - MargY;
    if (!(scMaxX > scMinX)) {
        LineTo(p, {20, H - 20}, {width() - 2, H - 20});
        return;
    }
    // Without a value axis the X labels were never measured; their spacing
    // still needs their width.
    if (RTextX.isEmpty())
        RTextX = AxisLabelBox(scMaxX, scMinX, FPrecision, p.fontMetrics());
    VpDX = LenX > 0 ? (scMaxX - scMinX) / LenX : 0;
    const TAxisTicks ticks = ComputeAxisTicks(scMinX, scMaxX, VpDX, RTextX.width() + 2);
    const int w2 = RTextX.width() / 2;
    for (const TAxisTick &t : ticks.Ticks) {
        const int x = MargX + t.Pos;
        if (FGridX) {
            p.setPen(DottedPen(FColorGrid));
            LineTo(p, {x, axisY - LenY}, {x, axisY});
            p.setPen(SolidPen(Qt::black));
        }
        LineTo(p, {x, axisY}, {x, axisY + 4});
        DrawBoxText(p, x - w2, axisY + 8, x + w2, axisY + 8 + RTextX.height(), Qt::AlignHCenter,
                    t.Label, FColor);
    }
    p.setPen(SolidPen(FColorAxis));
    LineTo(p, {MargX, axisY}, {MargX, axisY - LenY});
    LineTo(p, {MargX + LenX, axisY}, {MargX + LenX, axisY - LenY});
    p.setPen(SolidPen(Qt::black));
}

QRect TGraphM::PlotClip() const
{
    // Curves and markers may cover the left, top and bottom frame lines, but
    // never the right one.
    return QRect(MargX, 8, LenX, height() - MargY + 2 - 8);
}

void TGraphM::DrawCurve(QPainter &p, const TCurve &c, const QRect &plot)
{
    const std::span<const TGraphPoint> points = c.PointSpan();
    if (!c.Visible() || points.size() < 2)
        return;
    const bool left = c.Axis() == axLeft;
    const double kx = KX();
    const double ky = left ? KY() : KYr();
    if (kx == 0 || ky == 0)
        return;
    ++FCurvesDrawn;
    const double offX = scMinX - FMinXValue;
    const double full = left ? FMinYValue : FMinYRValue;
    const double offY = (left ? scMinY : scMinYr) - full;
    const int axisY = height() - MargY;
    const TCurveStyle style = MakeCurveStyle(c.Color(), c.ThickLine(), FDetails || c.Details());

    ForEachFiniteRun(
        points, FPixels,
        [&](const TGraphPoint &pt) {
            return QPoint(MargX + RoundToPixel((pt.X - offX - FMinXValue) * kx),
                          axisY - RoundToPixel((pt.Y - offY - full) * ky));
        },
        [&](std::span<const QPoint> run) { DrawCurvePoints(p, run, style, plot); });
}

void TGraphM::DrawMarkers(QPainter &p)
{
    if (Markers.empty() || !p.hasClipping() || KX() == 0 || KY() == 0)
        return;
    p.setFont(NamedFont("Tahoma", 8));
    const QFontMetrics fm = p.fontMetrics();
    for (size_t i = 0; i < Markers.size(); ++i) {
        const TGraphPoint &m = Markers[i];
        if (!std::isfinite(m.X) || !std::isfinite(m.Y))
            continue;
        const QPoint c = GraphPointToPoint(m);
        p.fillRect(c.x() - 3, c.y() - 3, 6, 6, QColor(0, 255, 0));
        p.setPen(SolidPen(Qt::black));
        p.setBrush(Qt::NoBrush);
        p.drawRect(c.x() - 4, c.y() - 4, 7, 7);
        if (!OnMarkerGetText)
            continue;
        QString text;
        OnMarkerGetText(this, static_cast<int>(i), text);
        if (text.isEmpty())
            continue;
        const QRect r = fm.boundingRect(QRect(c.x() + 5, c.y() - 5, 100000, 100000),
                                        Qt::AlignLeft | Qt::AlignTop, text);
        p.fillRect(r, Qt::white);
        p.drawText(r, Qt::AlignLeft | Qt::AlignTop, text);
    }
}
