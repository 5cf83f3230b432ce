#include "FastLines.h"

#include <algorithm>
#include <cmath>
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
double Dot(TVec a, TVec b) { return a.x * b.x + a.y * b.y; }

// The points p with lo <= u . (p - centre) <= hi.
struct TSlab
{
    TVec u;
    double lo, hi;
};

// Fills the convex shape cut out by two slabs around centre; yMin..yMax is its
// vertical extent.
void FillSlabs(TSpanCanvas &cv, TVec centre, const TSlab &a, const TSlab &b, double yMin,
               double yMax)
{
    const QRect &clip = cv.Clip();
    const int rowFirst = std::max<double>(clip.top(), std::ceil(yMin - kSample));
    const int rowLast = std::min<double>(clip.bottom(), std::ceil(yMax - kSample) - 1);
    // Sample coordinates of the clip's outer pixel edges.
    const double clipLeft = clip.left() - 1 + kSample;
    const double clipRight = clip.right() + 1 + kSample;
    for (int y = rowFirst; y <= rowLast; ++y) {
        double left = clipLeft;
        double right = clipRight;
        bool inside = true;
        for (const TSlab *s : {&a, &b}) {
            const double t = s->u.y * (y + kSample - centre.y);
            if (std::fabs(s->u.x) < 1e-12) {
                // Horizontal edges: the sample row must lie inside.
                inside = s->u.y > 0 ? (t >= s->lo && t < s->hi) : (t > s->lo && t <= s->hi);
                if (!inside)
                    break;
                continue;
            }
            double x0 = centre.x + (s->lo - t) / s->u.x;
            double x1 = centre.x + (s->hi - t) / s->u.x;
            if (x0 > x1)
                std::swap(x0, x1);
            left = std::max(left, x0);
            right = std::min(right, x1);
        }
        if (!inside || !(left < right))
            continue;
        const int x0 = std::max(clip.left(), static_cast<int>(std::ceil(left - kSample)));
        const int x1 = std::min(clip.right() + 1, static_cast<int>(std::ceil(right - kSample)));
        if (x0 < x1)
            cv.Span(y, x0, x1);
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

class TWideStroker
{
public:
    TWideStroker(TSpanCanvas &cv, int width) : FCanvas(cv), FHalf(width / 2.0)
    {
        // Shapes reaching further than this from the clip cannot touch it.
        const double margin = FHalf + 2;
        const QRect &c = cv.Clip();
        FLeft = c.left() - margin;
        FTop = c.top() - margin;
        FRight = c.right() + 1 + margin;
        FBottom = c.bottom() + 1 + margin;
    }

    // Flat-ended stroke of a -> b, with a square cap on the ends that start
    // or finish the polyline; returns the segment's unit normal for the join.
    TVec Segment(TVec a, TVec b, bool capStart, bool capEnd)
    {
        const TVec d = b - a;
        const double len = std::hypot(d.x, d.y);
        const TVec u = d * (1.0 / len);
        const TVec nrm{-u.y, u.x};
        double t0 = 0, t1 = 1;
        if (!ClipParam(a, d, FLeft, FTop, FRight, FBottom, t0, t1))
            return nrm;
        // Measured from the clipped start, which lies near the clip, so that
        // far-away end points cost no precision.
        const TVec origin = a + d * t0;
        const double lo = t0 == 0 && capStart ? -FHalf : 0;
        const double hi = (t1 - t0) * len + (t1 == 1 && capEnd ? FHalf : 0);
        const TVec side = nrm * FHalf;
        const TVec p0 = origin + u * lo, p1 = origin + u * hi;
        const double ys[4] = {p0.y + side.y, p0.y - side.y, p1.y + side.y, p1.y - side.y};
        FillSlabs(FCanvas, origin, {u, lo, hi}, {nrm, -FHalf, FHalf},
                  *std::min_element(ys, ys + 4), *std::max_element(ys, ys + 4));
        return nrm;
    }

    // Bevel join at p between strokes with unit normals n1 and n2: the
    // parallelogram spanned by p +- n1 * half and p +- n2 * half, which adds
    // the bevel triangle on the outer side and lies inside the strokes on the
    // inner one.
    void Join(TVec p, TVec n1, TVec n2)
    {
        if (p.x < FLeft || p.x > FRight || p.y < FTop || p.y > FBottom)
            return;
        const double c = Dot(n1, n2);
        if (1 - c < 1e-9 || 1 + c < 1e-9)
            return; // straight on or turning back: no bevel
        const TVec a1 = n1 * FHalf, a2 = n2 * FHalf;
        const double ext = std::max(std::fabs(a1.y), std::fabs(a2.y));
        FillSlabs(FCanvas, p, {n1 + n2, -FHalf * (1 + c), FHalf * (1 + c)},
                  {n2 - n1, -FHalf * (1 - c), FHalf * (1 - c)}, p.y - ext, p.y + ext);
    }

private:
    TSpanCanvas &FCanvas;
    double FHalf;
    double FLeft, FTop, FRight, FBottom;
};

// One-pixel line including both end pixels, one pixel per step along its
// major axis; the minor coordinate is taken half a step further on, which is
// how QPainter's one-pixel pen picks its pixels (up to ties).
void ThinSegment(TSpanCanvas &cv, QPoint a, QPoint b)
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
        const double minor = std::ceil(na + (m - ma) * k + 0.5 * std::fabs(k)) - (k != 0);
        if (minor < -1e9 || minor > 1e9)
            continue;
        if (xMajor)
            cv.Pixel(int(m), int(minor));
        else
            cv.Pixel(int(minor), int(m));
    }
}

TVec ToVec(QPoint p) { return {double(p.x()), double(p.y())}; }

} // namespace

void DecimateColumns(const QPoint *pts, int n, std::vector<QPoint> &out)
{
    out.clear();
    if (n <= 0)
        return;
    out.reserve(n);
    // The end caps take their direction from the first point that differs
    // from the curve's first one (and likewise at the end), so those stay.
    int capHead = 1;
    while (capHead < n && pts[capHead] == pts[0])
        ++capHead;
    int capTail = n - 2;
    while (capTail >= 0 && pts[capTail] == pts[n - 1])
        --capTail;
    for (int i = 0; i < n;) {
        int j = i + 1;
        int lowest = i, highest = i;
        while (j < n && pts[j].x() == pts[i].x()) {
            if (pts[j].y() < pts[lowest].y())
                lowest = j;
            if (pts[j].y() > pts[highest].y())
                highest = j;
            ++j;
        }
        int keep[6] = {i, lowest, highest, j - 1, i, i};
        int count = 4;
        if (capHead > i && capHead < j)
            keep[count++] = capHead;
        if (capTail > i && capTail < j)
            keep[count++] = capTail;
        std::sort(keep, keep + count);
        for (int k = 0; k < count; ++k)
            if (k == 0 || keep[k] != keep[k - 1])
                out.push_back(pts[keep[k]]);
        i = j;
    }
}

void DrawPolylineFast(QImage &img, const QPoint *pts, int n, QRgb color, int width,
                      const QRect &clip)
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
        for (int i = 1; i < n; ++i)
            ThinSegment(cv, pts[i - 1], pts[i]);
        return;
    }
    TWideStroker stroker(cv, width);
    // Repeated points make no segment; joins link the strokes around them.
    int i = 0;
    int j = 1;
    while (j < n && pts[j] == pts[i])
        ++j;
    TVec prevNormal{0, 0};
    bool first = true;
    while (j < n) {
        int k = j + 1;
        while (k < n && pts[k] == pts[j])
            ++k;
        const TVec a = ToVec(pts[i]);
        const TVec normal = stroker.Segment(a, ToVec(pts[j]), first, k >= n);
        if (!first)
            stroker.Join(a, prevNormal, normal);
        prevNormal = normal;
        first = false;
        i = j;
        j = k;
    }
}

void DrawCurveFast(QImage &img, const QPoint *pts, int n, QRgb color, int width,
                   const QRect &clip)
{
    // Kept between calls so a redraw of many curves allocates nothing.
    thread_local std::vector<QPoint> kept;
    DecimateColumns(pts, n, kept);
    DrawPolylineFast(img, kept.data(), int(kept.size()), color, width, clip);
}
