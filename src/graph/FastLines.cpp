#include "FastLines.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

// Pixel sampling follows QPainter's aliased fill of a wide pen: pixel (x, y)
// is set when a point just above and left of its centre lies inside the
// shape, so a shape edge through pixel centres keeps the pixels right of and
// below it (left and top edges exclusive, right and bottom ones inclusive).
constexpr double kSample = 0.5 - 1.0 / 4096;

class TSpanCanvas
{
public:
    TSpanCanvas(QImage &img, const QRect &clip, QRgb color)
        : FBits(img.bits()), FStride(img.bytesPerLine()), FClip(clip),
          FColor(color | 0xFF000000u)
    {
    }

    const QRect &Clip() const { return FClip; }

    void Pixel(int x, int y)
    {
        if (FClip.contains(x, y))
            Row(y)[x] = FColor;
    }

    // Pixels x0 <= x < x1 of row y; the caller keeps them inside the clip.
    void Span(int y, int x0, int x1) { std::fill(Row(y) + x0, Row(y) + x1, FColor); }

private:
    quint32 *Row(int y) { return reinterpret_cast<quint32 *>(FBits + y * FStride); }

    uchar *FBits;
    qsizetype FStride;
    QRect FClip;
    quint32 FColor;
};

struct TVec
{
    double x, y;
};

TVec operator+(TVec a, TVec b) { return {a.x + b.x, a.y + b.y}; }
TVec operator-(TVec a, TVec b) { return {a.x - b.x, a.y - b.y}; }
TVec operator*(TVec a, double k) { return {a.x * k, a.y * k}; }
TVec ToVec(QPoint p) { return {double(p.x()), double(p.y())}; }

// For values already clamped to a few pixels around the clip; cheaper than
// std::floor/std::ceil in the inner loops.
int FloorInt(double v)
{
    const int i = static_cast<int>(v);
    return i - (v < i);
}

int CeilInt(double v)
{
    const int i = static_cast<int>(v);
    return i + (v > i);
}

// A pixel-row boundary x = Base + Slope * (sample y).
struct TEdgeLine
{
    double Base, Slope;
    double At(double y) const { return Base + Slope * y; }
};

// Fills the band of half-width half around the segment from o along the unit
// vector u for len pixels, with flat ends: the points p with
// 0 <= u . (p - o) <= len and |n . (p - o)| <= half, n the normal of u.
// Every row's pixels x0 <= x < x1 inside clip go to span(y, x0, x1).
template <typename TSpanSink>
void FillBand(const QRect &clip, TVec o, TVec u, double len, double half, TSpanSink &&span)
{
    const TVec n{-u.y, u.x};
    const double yEnd = o.y + u.y * len;
    const double spread = std::fabs(n.y) * half;
    double yLo = std::min(o.y, yEnd) - spread, yHi = std::max(o.y, yEnd) + spread;
    // Each pair of parallel edges bounds the rows (when horizontal) or gives
    // a left and a right boundary line.
    TEdgeLine lefts[2] = {{-1e18, 0}, {-1e18, 0}}, rights[2] = {{1e18, 0}, {1e18, 0}};
    const struct
    {
        TVec v;
        double lo, hi;
    } slabs[2] = {{u, 0, len}, {n, -half, half}};
    for (int i = 0; i < 2; ++i) {
        const TVec v = slabs[i].v;
        if (std::fabs(v.x) < 1e-12) {
            double a = o.y + slabs[i].lo / v.y, b = o.y + slabs[i].hi / v.y;
            if (a > b)
                std::swap(a, b);
            yLo = std::max(yLo, a);
            yHi = std::min(yHi, b);
            continue;
        }
        // v.x * (x - o.x) + v.y * (y - o.y) = bound
        const double inv = 1 / v.x;
        const double slope = -v.y * inv;
        const double base = o.x + v.y * o.y * inv;
        const TEdgeLine lo{base + slabs[i].lo * inv, slope};
        const TEdgeLine hi{base + slabs[i].hi * inv, slope};
        lefts[i] = v.x > 0 ? lo : hi;
        rights[i] = v.x > 0 ? hi : lo;
    }
    const int rowFirst = std::max<double>(clip.top(), std::ceil(yLo - kSample));
    const int rowLast = std::min<double>(clip.bottom(), std::floor(yHi - kSample));
    // Sample coordinates just outside the clip's first and last columns.
    const double clipLeft = clip.left() - 1 + kSample;
    const double clipRight = clip.right() + 1 + kSample;
    for (int y = rowFirst; y <= rowLast; ++y) {
        const double ys = y + kSample;
        const double left = std::max({clipLeft, lefts[0].At(ys), lefts[1].At(ys)});
        const double right = std::min({clipRight, rights[0].At(ys), rights[1].At(ys)});
        if (!(left <= right))
            continue;
        const int x0 = std::max(clip.left(), CeilInt(left - kSample));
        const int x1 = std::min(clip.right(), FloorInt(right - kSample));
        if (x0 <= x1)
            span(y, x0, x1 + 1);
    }
}

// Liang-Barsky: narrows [t0, t1] (parameter along a -> a + d) to the part
// inside the box; false when nothing is left.
bool ClipParam(TVec a, TVec d, double left, double top, double right, double bottom,
               double &t0, double &t1)
{
    const double p[4] = {-d.x, d.x, -d.y, d.y};
    const double q[4] = {a.x - left, right - a.x, a.y - top, bottom - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
    }
    return t0 <= t1;
}

// A run of pixels of one row of a shape, relative to the shape's anchor.
struct TShapeRow
{
    int Dy, X0, X1; // row offset, pixels X0 <= x < X1
};

// A pixel shape as rows relative to an anchor pixel, with its extent.
struct TShape
{
    std::vector<TShapeRow> Rows;
    int Left = 0, Right = 0, Top = 0, Bottom = 0; // inclusive bounds of Rows
    bool Built = false;

    // Sorts the rows and joins the runs of a row that touch or overlap, so a
    // stamp writes every pixel once.
    void Finish()
    {
        std::sort(Rows.begin(), Rows.end(), [](const TShapeRow &a, const TShapeRow &b) {
            return a.Dy != b.Dy ? a.Dy < b.Dy : a.X0 < b.X0;
        });
        std::vector<TShapeRow> joined;
        for (const TShapeRow &r : Rows) {
            if (!joined.empty() && joined.back().Dy == r.Dy && r.X0 <= joined.back().X1)
                joined.back().X1 = std::max(joined.back().X1, r.X1);
            else
                joined.push_back(r);
        }
        Rows = std::move(joined);
        Left = Top = INT_MAX;
        Right = Bottom = INT_MIN;
        for (const TShapeRow &r : Rows) {
            Left = std::min(Left, r.X0);
            Right = std::max(Right, r.X1 - 1);
            Top = std::min(Top, r.Dy);
            Bottom = std::max(Bottom, r.Dy);
        }
        Built = true;
    }
};

// The disc of a pen of the given width around a whole-pixel point.
void AddDisc(std::vector<TShapeRow> &rows, double half, int cx, int cy)
{
    for (int dy = int(std::ceil(-half - kSample)); dy + kSample <= half; ++dy) {
        const double ys = dy + kSample;
        const double h = std::sqrt(std::max(0.0, half * half - ys * ys));
        const int x0 = int(std::ceil(-h - kSample)), x1 = int(std::floor(h - kSample)) + 1;
        if (x0 < x1)
            rows.push_back({cy + dy, cx + x0, cx + x1});
    }
}

// Segments between whole-pixel points differ only by a whole-pixel shift
// when their end points differ by the same (dx, dy), and a dense curve has
// few distinct short steps. So the band of a short step together with the
// disc at its end is rasterized once per pen width and then stamped.
class TStepShapes
{
public:
    static constexpr int kReach = 48; // steps up to this many pixels each way

    explicit TStepShapes(int width) : FHalf(width / 2.0), FShapes(kSide * kSide) {}

    static bool Covers(int dx, int dy) { return std::abs(dx) <= kReach && std::abs(dy) <= kReach; }

    // The band from (0, 0) to (dx, dy) and the disc at (dx, dy).
    const TShape &Step(int dx, int dy)
    {
        TShape &s = FShapes[size_t((dy + kReach) * kSide + dx + kReach)];
        if (!s.Built) {
            const double len = std::sqrt(double(dx) * dx + double(dy) * dy);
            FillBand(kUnbounded, {0, 0}, {dx / len, dy / len}, len, FHalf,
                     [&s](int y, int x0, int x1) { s.Rows.push_back({y, x0, x1}); });
            AddDisc(s.Rows, FHalf, dx, dy);
            s.Finish();
        }
        return s;
    }

private:
    static constexpr int kSide = 2 * kReach + 1;
    static inline const QRect kUnbounded{-(1 << 20), -(1 << 20), 1 << 21, 1 << 21};

    double FHalf;
    std::vector<TShape> FShapes;
};

// The step shapes of one pen width, kept per thread between drawings.
TStepShapes &StepShapesFor(int width)
{
    thread_local std::vector<std::unique_ptr<TStepShapes>> byWidth;
    if (size_t(width) >= byWidth.size())
        byWidth.resize(size_t(width) + 1);
    std::unique_ptr<TStepShapes> &shapes = byWidth[size_t(width)];
    if (!shapes)
        shapes = std::make_unique<TStepShapes>(width);
    return *shapes;
}

// A round-capped, round-joined stroke is the union of a flat-ended band
// along every segment and a disc around every point.
class TWideStroker
{
public:
    // Pens up to this width use the step shapes; wider ones are rare and
    // rasterize every band.
    static constexpr int kMaxStepWidth = 16;

    TWideStroker(TSpanCanvas &cv, int width)
        : FCanvas(cv), FHalf(width / 2.0),
          FSteps(width <= kMaxStepWidth ? &StepShapesFor(width) : nullptr)
    {
        // Shapes reaching further than this from the clip cannot touch it.
        const double margin = FHalf + 2;
        const QRect &c = cv.Clip();
        FLeft = c.left() - margin;
        FTop = c.top() - margin;
        FRight = c.right() + 1 + margin;
        FBottom = c.bottom() + 1 + margin;
        AddDisc(FDisc.Rows, FHalf, 0, 0);
        FDisc.Finish();
    }

    // The band from a to b and the disc at b.
    void Step(QPoint a, QPoint b)
    {
        // Inside() keeps the differences and the sums of the stamp far from
        // overflowing.
        if (FSteps && Inside(ToVec(a)) && Inside(ToVec(b))) {
            const int dx = b.x() - a.x(), dy = b.y() - a.y();
            if (TStepShapes::Covers(dx, dy)) {
                Stamp(FSteps->Step(dx, dy), a);
                return;
            }
        }
        Segment(ToVec(a), ToVec(b));
        Disc(b);
    }

    void Disc(QPoint p)
    {
        // Also keeps the row and column sums of the stamp from overflowing.
        if (Inside(ToVec(p)))
            Stamp(FDisc, p);
    }

private:
    void Segment(TVec a, TVec b)
    {
        const TVec d = b - a;
        double t0 = 0, t1 = 1;
        if (!(Inside(a) && Inside(b))
            && !ClipParam(a, d, FLeft, FTop, FRight, FBottom, t0, t1))
            return;
        const double len = std::sqrt(d.x * d.x + d.y * d.y);
        // Measured from the clipped start, which lies near the clip, so that
        // far-away end points cost no precision.
        FillBand(FCanvas.Clip(), a + d * t0, d * (1.0 / len), (t1 - t0) * len, FHalf,
                 [this](int y, int x0, int x1) { FCanvas.Span(y, x0, x1); });
    }

    void Stamp(const TShape &s, QPoint at)
    {
        const QRect &clip = FCanvas.Clip();
        const int x = at.x(), y = at.y();
        if (x + s.Left >= clip.left() && x + s.Right <= clip.right() && y + s.Top >= clip.top()
            && y + s.Bottom <= clip.bottom()) {
            for (const TShapeRow &r : s.Rows)
                FCanvas.Span(y + r.Dy, x + r.X0, x + r.X1);
            return;
        }
        for (const TShapeRow &r : s.Rows) {
            const int row = y + r.Dy;
            if (row < clip.top() || row > clip.bottom())
                continue;
            const int x0 = std::max(clip.left(), x + r.X0);
            const int x1 = std::min(clip.right() + 1, x + r.X1);
            if (x0 < x1)
                FCanvas.Span(row, x0, x1);
        }
    }

    bool Inside(TVec p) const
    {
        return p.x >= FLeft && p.x <= FRight && p.y >= FTop && p.y <= FBottom;
    }

    TSpanCanvas &FCanvas;
    double FHalf;
    TStepShapes *FSteps;
    double FLeft, FTop, FRight, FBottom;
    TShape FDisc;
};

// One-pixel line including its start pixel and, with endPixel, its end
// pixel, one pixel per step along its major axis; the minor coordinate is
// taken half a step further on, which is how QPainter's one-pixel pen picks
// its pixels (up to ties).
void ThinSegment(TSpanCanvas &cv, QPoint a, QPoint b, bool endPixel)
{
    const QRect &c = cv.Clip();
    const double dx = double(b.x()) - a.x(), dy = double(b.y()) - a.y();
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    // Work in (major, minor) coordinates so one loop serves both cases.
    const double ma = xMajor ? a.x() : a.y(), mb = xMajor ? b.x() : b.y();
    const double na = xMajor ? a.y() : a.x();
    const double k = xMajor ? (dx == 0 ? 0 : dy / dx) : dx / dy;
    double lo = std::min(ma, mb), hi = std::max(ma, mb);
    lo = std::max(lo, double(xMajor ? c.left() : c.top()));
    hi = std::min(hi, double(xMajor ? c.right() : c.bottom()));
    if (k != 0) {
        // Keep only the steps whose minor coordinate can fall inside the clip.
        const double minorLo = (xMajor ? c.top() : c.left()) - 1.0;
        const double minorHi = (xMajor ? c.bottom() : c.right()) + 1.0;
        double s0 = ma + (minorLo - na) / k, s1 = ma + (minorHi - na) / k;
        if (s0 > s1)
            std::swap(s0, s1);
        lo = std::max(lo, std::floor(s0));
        hi = std::min(hi, std::ceil(s1));
    }
    for (double m = std::ceil(lo); m <= hi; ++m) {
        if (!endPixel && m == mb)
            continue;
        const double minor = std::ceil(na + (m - ma) * k + 0.5 * std::fabs(k)) - (k != 0);
        if (minor < -1e9 || minor > 1e9)
            continue;
        if (xMajor)
            cv.Pixel(int(m), int(minor));
        else
            cv.Pixel(int(minor), int(m));
    }
}

} // namespace

void DecimateColumns(const QPoint *pts, int n, std::vector<QPoint> &out)
{
    out.clear();
    if (n <= 0)
        return;
    out.reserve(n);
    for (int i = 0; i < n;) {
        const int x = pts[i].x();
        // Sweeps mostly have one point a column: no run to reduce.
        if (i + 1 == n || pts[i + 1].x() != x) {
            out.push_back(pts[i++]);
            continue;
        }
        int j = i + 1;
        int lowest = i, highest = i;
        while (j < n && pts[j].x() == x) {
            if (pts[j].y() < pts[lowest].y())
                lowest = j;
            if (pts[j].y() > pts[highest].y())
                highest = j;
            ++j;
        }
        // Already in storage order but for the two extremes.
        const int keep[4] = {i, std::min(lowest, highest), std::max(lowest, highest), j - 1};
        for (int k = 0; k < 4; ++k)
            if (k == 0 || keep[k] != keep[k - 1])
                out.push_back(pts[keep[k]]);
        i = j;
    }
}

void DropHiddenPoints(std::vector<QPoint> &pts, const QRect &clip, int margin)
{
    const size_t n = pts.size();
    if (n < 3)
        return;
    const QRect area = clip.adjusted(-margin, -margin, margin, margin);
    // Which edges of the area a point lies beyond, one bit each.
    const auto beyond = [&area](QPoint p) {
        return (p.x() < area.left() ? 1 : 0) | (p.x() > area.right() ? 2 : 0) | (p.y() < area.top() ? 4 : 0)
               | (p.y() > area.bottom() ? 8 : 0);
    };
    size_t kept = 1;
    int before = beyond(pts[0]);
    int here = beyond(pts[1]);
    for (size_t i = 1; i + 1 < n; ++i) {
        const int after = beyond(pts[i + 1]);
        if ((before & here & after) == 0) {
            pts[kept++] = pts[i];
            before = here;
        }
        here = after;
    }
    pts[kept++] = pts[n - 1];
    pts.resize(kept);
}

void DrawPolylineFast(QImage &img, const QPoint *pts, int n, QRgb color, int width,
                      const QRect &clip, bool endPixel)
{
    const QImage::Format f = img.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32
        && f != QImage::Format_ARGB32_Premultiplied)
        throw std::invalid_argument("DrawPolylineFast needs a 32-bit RGB image");
    const QRect area = clip & img.rect();
    if (n < 2 || area.isEmpty())
        return;
    TSpanCanvas cv(img, area, color);
    if (width <= 1) {
        // Trailing repeats of the last point are lines of no length, which
        // draw nothing: the end left out is that of the last real segment.
        int last = n - 1;
        if (!endPixel)
            while (last > 0 && pts[last] == pts[last - 1])
                --last;
        for (int i = 1; i <= last; ++i)
            ThinSegment(cv, pts[i - 1], pts[i], endPixel || i < last);
        return;
    }
    TWideStroker stroker(cv, width);
    stroker.Disc(pts[0]);
    for (int i = 1; i < n; ++i)
        if (pts[i] != pts[i - 1])
            stroker.Step(pts[i - 1], pts[i]);
}

void DrawCurveFast(QImage &img, const QPoint *pts, int n, QRgb color, int width,
                   const QRect &clip, bool endPixel)
{
    // Kept between calls so a redraw of many curves allocates nothing.
    thread_local std::vector<QPoint> kept;
    DecimateColumns(pts, n, kept);
    // A pen reaches less than its width beyond its line.
    DropHiddenPoints(kept, clip & img.rect(), std::max(width, 1) + 1);
    DrawPolylineFast(img, kept.data(), int(kept.size()), color, width, clip, endPixel);
}
