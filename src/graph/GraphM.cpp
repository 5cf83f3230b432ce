#include "GraphM.h"

#include <QMetaObject>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>

#include "AxisTicks.h"
#include "GraphInteraction.h"

using Lock = std::lock_guard<std::recursive_mutex>;

namespace {

// Pixels per unit for a plot length, a zoom factor and a full span; 0 when
// that is not a finite, non-zero number.
double ScaleFactor(int len, double zoom, double span)
{
    const double k = len * zoom / span;
    return std::isfinite(k) ? k : 0.0;
}

// Centres a window of span (hi - lo) / zoom on centre; with clamp, moves it
// back inside lo..hi as far as needed.
void CentreWindow(double centre, double lo, double hi, double zoom, bool clamp,
                  double &winMin, double &winMax)
{
    const double h = ((hi - lo) / zoom) / 2;
    winMin = centre - h;
    winMax = centre + h;
    if (clamp)
        ClampWindow(winMin, winMax, lo, hi);
}

QColor Opaque(const QColor &c)
{
    return QColor(c.red(), c.green(), c.blue());
}

// Stores a setter's value when it differs, reporting whether it did.
template <typename T> bool Store(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

struct TYRange {
    bool Found = false;
    double Min = 0, Max = 0;
    void Add(double y)
    {
        if (!Found) {
            Found = true;
            Min = Max = y;
        } else {
            Min = std::min(Min, y);
            Max = std::max(Max, y);
        }
    }
};

} // namespace

TGraphM::TGraphM(QWidget *parent)
    : QWidget(parent), FCurves(std::make_unique<TCurves>(this)), FFrameTimer(new QTimer(this))
{
    FFrameTimer->setSingleShot(true);
    FFrameTimer->setTimerType(Qt::PreciseTimer);
    connect(FFrameTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // every move reaches OnMouseMove, buttons or not
    resize(320, 210);
}

TGraphM::~TGraphM()
{
    // The curves go first: nothing may reach the graph while it is torn down.
    // Writers on other threads must have stopped by now.
    FCurves.reset();
}

std::unique_ptr<TCurve> TGraphM::CreateCurve(TCurves &collection)
{
    return std::make_unique<TCurve>(collection);
}

void TGraphM::RequestRepaint()
{
    ++FRepaintRequests;
    if (QThread::currentThread() == thread()) {
        ScheduleUpdate();
        return;
    }
    // One queued request at a time: the UI thread's update() covers all
    // requests made before it runs.
    if (FRepaintPosted.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            FRepaintPosted = false;
            ScheduleUpdate();
        },
        Qt::QueuedConnection);
}

void TGraphM::ScheduleUpdate()
{
    // A sweep on the UI thread adds a point and processes the pending events
    // hundreds of times a second; painting the whole graph for each point
    // would slow the sweep down for nothing the eye can see.
    if (FFrameTimer->isActive())
        return;
    const qint64 since = FSinceLastPaint.isValid() ? FSinceLastPaint.elapsed() : kFrameMs;
    if (since >= kFrameMs)
        update();
    else
        FFrameTimer->start(int(kFrameMs - since));
}

// ---- property setters ------------------------------------------------------

void TGraphM::SetColorAxis(const QColor &value)
{
    if (Store(FColorAxis, Opaque(value)))
        RequestRepaint();
}

void TGraphM::SetMinXValue(double value)
{
    if (std::isfinite(value) && Store(FMinXValue, value))
        RequestRepaint();
}

void TGraphM::SetMaxXValue(double value)
{
    if (!std::isfinite(value) || value == FMaxXValue)
        return;
    FMaxXValue = value <= 0 ? 0 : value;
    RequestRepaint();
}

void TGraphM::SetMinYValue(double value)
{
    if (std::isfinite(value) && Store(FMinYValue, value))
        RequestRepaint();
}

void TGraphM::SetMaxYValue(double value)
{
    if (!std::isfinite(value) || value == FMaxYValue)
        return;
    FMaxYValue = value < 0 ? 0 : value;
    RequestRepaint();
}

void TGraphM::SetMinYRValue(double value)
{
    if (std::isfinite(value) && Store(FMinYRValue, value))
        RequestRepaint();
}

void TGraphM::SetMaxYRValue(double value)
{
    if (std::isfinite(value) && Store(FMaxYRValue, value))
        RequestRepaint();
}

void TGraphM::SetColor(const QColor &value)
{
    FColor = Opaque(value);
    RequestRepaint();
}

void TGraphM::SetGridX(bool value)
{
    if (Store(FGridX, value))
        RequestRepaint();
}

void TGraphM::SetGridY(bool value)
{
    if (Store(FGridY, value))
        RequestRepaint();
}

void TGraphM::SetColorGrid(const QColor &value)
{
    if (Store(FColorGrid, Opaque(value)))
        RequestRepaint();
}

void TGraphM::SetCurves(const TCurves &value)
{
    FCurves->Assign(value);
}

void TGraphM::SetStepScale(int value)
{
    if (value == FStepScale)
        return;
    FStepScale = value <= 0 ? 100 : value;
    if (FScaleX > 100 || FScaleY > 100)
        RequestRepaint();
}

void TGraphM::SetDecimalHint(int value)
{
    if (value >= 0 && value <= 6)
        FDecimalHint = value;
}

void TGraphM::SetShowTextScale(bool value)
{
    if (Store(FShowTextScale, value))
        RequestRepaint();
}

void TGraphM::SetDetails(bool value)
{
    if (Store(FDetails, value))
        RequestRepaint();
}

void TGraphM::SetPrecision(int value)
{
    if (value == FPrecision)
        return;
    FPrecision = (value < 0 || value > 3) ? 1 : value;
    RequestRepaint();
}

void TGraphM::SetLayerCache(bool value)
{
    Lock lock(Mutex());
    FLayerCache = value;
    FLayers.Clear();
}

// ---- curve queries ---------------------------------------------------------

bool TGraphM::HasVisibleCurve() const
{
    Lock lock(Mutex());
    for (int i = 0; i < FCurves->Count(); ++i)
        if (FCurves->Items(i)->Visible())
            return true;
    return false;
}

bool TGraphM::HasVisibleCurveOnAxis(TAxis axis) const
{
    Lock lock(Mutex());
    for (int i = 0; i < FCurves->Count(); ++i) {
        const TCurve *c = FCurves->Items(i);
        if (c->Visible() && c->Axis() == axis)
            return true;
    }
    return false;
}

bool TGraphM::HasPlotData() const
{
    Lock lock(Mutex());
    for (int i = 0; i < FCurves->Count(); ++i)
        if (FCurves->Items(i)->Count() >= 2)
            return true;
    return false;
}

// ---- markers ---------------------------------------------------------------

void TGraphM::AddMarker(double x, double y)
{
    Markers.push_back({x, y});
    RequestRepaint();
}

void TGraphM::ClearMarkers()
{
    Markers.clear();
    RequestRepaint();
}

// ---- geometry and mapping --------------------------------------------------

void TGraphM::UpdateGeometry()
{
    LenY = height() - MargY - 8;
    MargX = RTextY.width() + 20;
    LenX = width() - MargX - RTextX.width() / 2 - 3;
}

double TGraphM::KX() const
{
    return ScaleFactor(LenX, SclKX, FMaxXValue - FMinXValue);
}

double TGraphM::KY() const
{
    return ScaleFactor(LenY, SclKY, FMaxYValue - FMinYValue);
}

double TGraphM::KYr() const
{
    return ScaleFactor(LenY, SclKY, FMaxYRValue - FMinYRValue);
}

TGraphPoint TGraphM::PointToGraphPoint(QPoint p)
{
    UpdateGeometry();
    if (p.x() == -1)
        p = QPoint(MargX + LenX / 2, height() - MargY - LenY / 2);
    const double kx = KX();
    const double ky = KY();
    return {kx != 0 ? scMinX + (p.x() - MargX) / kx : scMinX,
            ky != 0 ? scMinY + (height() - MargY - p.y()) / ky : scMinY};
}

TGraphPoint TGraphM::PointToGraphPointR(QPoint p)
{
    const TGraphPoint left = PointToGraphPoint(p);
    if (p.x() == -1)
        p = QPoint(MargX + LenX / 2, height() - MargY - LenY / 2);
    const double kyr = KYr();
    return {left.X, kyr != 0 ? scMinYr + (height() - MargY - p.y()) / kyr : scMinYr};
}

QPoint TGraphM::GraphPointToPoint(const TGraphPoint &gp) const
{
    return QPoint(MargX + RoundToPixel((gp.X - (scMinX - FMinXValue) - FMinXValue) * KX()),
                  height() - MargY - RoundToPixel((gp.Y - (scMinY - FMinYValue) - FMinYValue) * KY()));
}

// ---- zooms -----------------------------------------------------------------

void TGraphM::ScaleChange(TGraphM *, int newScaleX, int newScaleY)
{
    if (OnScaleChange)
        OnScaleChange(this, newScaleX, newScaleY);
}

void TGraphM::SetScaleX(int value)
{
    if (value == FScaleX)
        return;
    const TGraphPoint v = PointToGraphPoint(PHit);
    FScaleX = std::max(value, 100);
    SclKX = FScaleX / 100.0;
    CentreWindow(v.X, FMinXValue, FMaxXValue, SclKX, true, scMinX, scMaxX);
    ScaleChange(this, FScaleX, FScaleY);
    RequestRepaint();
}

void TGraphM::SetScaleY(int value)
{
    if (value == FScaleY)
        return;
    // Both axes zoom around the values that were under PHit before the change.
    const double vLeft = PointToGraphPoint(PHit).Y;
    const double vRight = PointToGraphPointR(PHit).Y;
    FScaleY = std::max(value, 100);
    SclKY = FScaleY / 100.0;
    CentreWindow(vLeft, FMinYValue, FMaxYValue, SclKY, false, scMinY, scMaxY);
    if (HasVisibleCurveOnAxis(axRight))
        CentreWindow(vRight, FMinYRValue, FMaxYRValue, SclKY, false, scMinYr, scMaxYr);
    ScaleChange(this, FScaleX, FScaleY);
    RequestRepaint();
}

void TGraphM::SetScaleXY(int value)
{
    if (value == FScaleX && value == FScaleY)
        return;
    const TGraphPoint v = PointToGraphPoint(PHit);
    const double vRight = PointToGraphPointR(PHit).Y;
    FScaleX = std::max(value, 100);
    SclKX = FScaleX / 100.0;
    FScaleY = FScaleX;
    SclKY = SclKX;
    CentreWindow(v.X, FMinXValue, FMaxXValue, SclKX, true, scMinX, scMaxX);
    CentreWindow(v.Y, FMinYValue, FMaxYValue, SclKY, true, scMinY, scMaxY);
    // The right window must follow the shared factor too, or its labels
    // would not match its curves.
    if (HasVisibleCurveOnAxis(axRight))
        CentreWindow(vRight, FMinYRValue, FMaxYRValue, SclKY, true, scMinYr, scMaxYr);
    ScaleChange(this, FScaleX, FScaleY);
    RequestRepaint();
}

void TGraphM::SetAutoScaleY()
{
    TYRange left, right;
    {
        Lock lock(Mutex());
        for (int i = 0; i < FCurves->Count(); ++i) {
            const TCurve *c = FCurves->Items(i);
            if (!c->Visible())
                continue;
            TYRange &range = c->Axis() == axLeft ? left : right;
            for (const TGraphPoint &p : c->PointSpan())
                if (p.X >= scMinX && p.X <= scMaxX && std::isfinite(p.Y))
                    range.Add(p.Y);
        }
    }
    if (!left.Found && !right.Found)
        return;

    // Fitted window of one axis with a 3 % margin, and the zoom that makes
    // it fill the plot. A window of zero span (all values 0) keeps the
    // axis's full span around the value instead.
    struct TFit {
        double Min = 0, Max = 0, K = 0;
    };
    const auto fit = [](const TYRange &r, double fullMin, double fullMax) {
        TFit f;
        const double margin = 0.03 * std::fabs(r.Min);
        f.Min = r.Min - margin;
        f.Max = r.Max + margin;
        const double full = fullMax - fullMin;
        if (!(f.Max > f.Min)) {
            const double h = full > 0 ? full / 2 : 0.5;
            f.Min = r.Min - h;
            f.Max = r.Min + h;
        }
        f.K = full / (f.Max - f.Min);
        return f;
    };
    const TFit fl = left.Found ? fit(left, FMinYValue, FMaxYValue) : TFit{};
    const TFit fr = right.Found ? fit(right, FMinYRValue, FMaxYRValue) : TFit{};
    double k = left.Found ? fl.K : fr.K;
    if (left.Found && right.Found)
        k = std::min(fl.K, fr.K);
    if (!std::isfinite(k) || k <= 0)
        return; // an empty full range cannot be zoomed

    // With both axes the one that needed the larger zoom gets a wider
    // window, centred on its fitted one so that it still shows its data.
    const auto place = [k](const TFit &f, bool shared, double fullMin, double fullMax,
                           double &winMin, double &winMax) {
        if (!shared || f.K == k) {
            winMin = f.Min;
            winMax = f.Max;
            return;
        }
        const double centre = (f.Min + f.Max) / 2;
        const double h = ((fullMax - fullMin) / k) / 2;
        winMin = centre - h;
        winMax = centre + h;
    };
    const bool both = left.Found && right.Found;
    if (left.Found)
        place(fl, both, FMinYValue, FMaxYValue, scMinY, scMaxY);
    if (right.Found)
        place(fr, both, FMinYRValue, FMaxYRValue, scMinYr, scMaxYr);
    SclKY = k;
    FScaleY = static_cast<int>(std::nearbyint(std::min(k * 100, static_cast<double>(INT_MAX))));
    RequestRepaint();
}

// ---- window reset at drawing time -------------------------------------------

void TGraphM::ResetWindows()
{
    const bool anyVisible = HasVisibleCurve();
    const bool fullView = FScaleX == 100 && FScaleY == 100;
    if (anyVisible && fullView && HasPlotData()) {
        // Hidden curves count too; only finite bounds widen a range.
        const auto widen = [](double &lo, double &hi, double dataLo, double dataHi) {
            if (std::isfinite(dataLo))
                lo = std::min(lo, dataLo);
            if (std::isfinite(dataHi))
                hi = std::max(hi, dataHi);
        };
        for (int i = 0; i < FCurves->Count(); ++i) {
            const TCurve *c = FCurves->Items(i);
            if (c->Count() == 0)
                continue;
            const TCurveBounds &b = CurveBounds(i);
            widen(FMinXValue, FMaxXValue, b.MinX, b.MaxX);
            if (c->Axis() == axLeft)
                widen(FMinYValue, FMaxYValue, b.MinY, b.MaxY);
            else
                widen(FMinYRValue, FMaxYRValue, b.MinY, b.MaxY);
        }
    }
    if (!anyVisible || fullView) {
        scMinX = FMinXValue;
        scMaxX = FMaxXValue;
        scMinY = FMinYValue;
        scMaxY = FMaxYValue;
        scMinYr = FMinYRValue;
        scMaxYr = FMaxYRValue;
    }
}

const TGraphM::TCurveBounds &TGraphM::CurveBounds(int i)
{
    if (FBounds.size() < size_t(FCurves->Count()))
        FBounds.resize(size_t(FCurves->Count()));
    TCurveBounds &b = FBounds[size_t(i)];
    const TCurve *c = FCurves->Items(i);
    // Stamps are never reused, so a stale entry cannot match.
    const quint64 stamp = c->ChangeStamp();
    if (b.Stamp != stamp) {
        c->GetMinMax(b.MinX, b.MaxX, b.MinY, b.MaxY);
        b.Stamp = stamp;
    }
    return b;
}
