#include "Curve.h"

#include "Curves.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

using Lock = std::lock_guard<std::recursive_mutex>;

namespace {

// One counter for all curves, so that a stamp never repeats, not even for a
// new curve made where a deleted one was.
quint64 NextStamp()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

} // namespace

TCurve::TCurve(TCurves &collection) : FCollection(collection), FStamp(NextStamp()) {}

std::recursive_mutex &TCurve::Mutex() const
{
    return FCollection.Mutex();
}

int TCurve::Index() const
{
    return FCollection.IndexOf(this);
}

QString TCurve::Caption() const
{
    Lock lock(Mutex());
    return FCaption;
}

void TCurve::SetCaption(const QString &value)
{
    Lock lock(Mutex());
    FCaption = value;
}

QColor TCurve::Color() const
{
    Lock lock(Mutex());
    return FColor;
}

void TCurve::SetColor(const QColor &value)
{
    Lock lock(Mutex());
    const QColor opaque(value.red(), value.green(), value.blue());
    if (opaque == FColor)
        return;
    FColor = opaque;
    Touch();
    Changed();
}

int TCurve::ThickLine() const
{
    Lock lock(Mutex());
    return FThickLine;
}

void TCurve::SetThickLine(int value)
{
    Lock lock(Mutex());
    if (value == FThickLine)
        return;
    FThickLine = value;
    Touch();
    Changed();
}

bool TCurve::Details() const
{
    Lock lock(Mutex());
    return FDetails;
}

void TCurve::SetDetails(bool value)
{
    Lock lock(Mutex());
    if (value == FDetails)
        return;
    FDetails = value;
    Touch();
    Changed();
}

bool TCurve::Visible() const
{
    Lock lock(Mutex());
    return FVisible;
}

void TCurve::SetVisible(bool value)
{
    Lock lock(Mutex());
    if (value != FVisible)
        Touch();
    FVisible = value;
}

TAxis TCurve::Axis() const
{
    Lock lock(Mutex());
    return FAxis;
}

void TCurve::SetAxis(TAxis value)
{
    Lock lock(Mutex());
    if (value != FAxis)
        Touch();
    FAxis = value;
}

void TCurve::AddPoint(double aX, double aY)
{
    Lock lock(Mutex());
    pta.push_back({aX, aY});
    Touch();
    Invalidate();
}

void TCurve::AddPoints(std::span<const double> aX, std::span<const double> aY)
{
    if (aX.size() != aY.size())
        throw std::runtime_error("X and Y arrays have different lengths");
    Lock lock(Mutex());
    pta.reserve(pta.size() + aX.size());
    for (size_t i = 0; i < aX.size(); ++i)
        pta.push_back({aX[i], aY[i]});
    if (!aX.empty())
        Touch();
    Invalidate();
}

void TCurve::AddPoints(std::span<const TGraphPoint> p)
{
    Lock lock(Mutex());
    pta.insert(pta.end(), p.begin(), p.end());
    if (!p.empty())
        Touch();
    Invalidate();
}

void TCurve::ClearPoints()
{
    Lock lock(Mutex());
    pta.clear();
    Touch();
    Invalidate();
}

void TCurve::Sort()
{
    Lock lock(Mutex());
    if (pta.size() > 1) {
        SortGraphPointsByX(pta.data(), 0, static_cast<int>(pta.size()) - 1);
        Touch();
    }
}

void TCurve::GetPoint(int index, double &aX, double &aY) const
{
    const TGraphPoint p = Points(index);
    aX = p.X;
    aY = p.Y;
}

TGraphPoint TCurve::Points(int index) const
{
    Lock lock(Mutex());
    if (index < 0 || index >= static_cast<int>(pta.size()))
        return {};
    return pta[static_cast<size_t>(index)];
}

int TCurve::Count() const
{
    Lock lock(Mutex());
    return static_cast<int>(pta.size());
}

void TCurve::GetMinMax(double &minX, double &maxX, double &minY, double &maxY) const
{
    Lock lock(Mutex());
    if (pta.empty())
        return;
    // A NaN would never compare and an infinity would always win, so only
    // finite values count; a coordinate without any gives NaN bounds.
    constexpr double inf = std::numeric_limits<double>::infinity();
    double loX = inf, hiX = -inf, loY = inf, hiY = -inf;
    const auto widen = [](double &lo, double &hi, double v) {
        if (std::isfinite(v)) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    };
    for (const TGraphPoint &p : pta) {
        widen(loX, hiX, p.X);
        widen(loY, hiY, p.Y);
    }
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    minX = loX <= hiX ? loX : nan;
    maxX = loX <= hiX ? hiX : nan;
    minY = loY <= hiY ? loY : nan;
    maxY = loY <= hiY ? hiY : nan;
}

void TCurve::BeginUpdate()
{
    Lock lock(Mutex());
    ++UpdateCnt;
}

void TCurve::EndUpdate()
{
    Lock lock(Mutex());
    if (UpdateCnt <= 0)
        return;
    if (--UpdateCnt == 0)
        Invalidate();
}

void TCurve::Invalidate()
{
    Lock lock(Mutex());
    if (UpdateCnt == 0)
        FCollection.Update(nullptr);
}

quint64 TCurve::ChangeStamp() const
{
    Lock lock(Mutex());
    return FStamp;
}

void TCurve::Touch()
{
    FStamp = NextStamp();
}

void TCurve::Changed()
{
    FCollection.Update(this);
}

void TCurve::Assign(const TCurve *source)
{
    if (!source)
        throw std::runtime_error(std::string("Cannot assign a nil to a ") + ClassName());
    if (source == this)
        return;
    std::scoped_lock lock(Mutex(), source->Mutex());
    SetColor(source->FColor);
    SetThickLine(source->FThickLine);
    SetDetails(source->FDetails);
    SetCaption(source->FCaption);
}

void SortGraphPointsByX(TGraphPoint *points, int L, int R)
{
    // Recurse into the smaller side only, so the stack depth stays logarithmic.
    for (;;) {
        const double P = points[L + (R - L) / 2].X;
        int i = L;
        int j = R;
        do {
            while (points[i].X < P)
                ++i;
            while (points[j].X > P)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(points[i], points[j]);
                ++i;
                --j;
            }
        } while (i <= j);

        if (j - L < R - i) {
            if (L < j)
                SortGraphPointsByX(points, L, j);
            if (i >= R)
                return;
            L = i;
        } else {
            if (i < R)
                SortGraphPointsByX(points, i, R);
            if (L >= j)
                return;
            R = j;
        }
    }
}
