#include "FastLines.h"

#include <QPainter>
#include <QPolygon>
#include <QRandomGenerator>
#include <QtTest>

#include <climits>
#include <cmath>
#include <stdexcept>

namespace {

constexpr QRgb kBack = 0xFFFFFFFF;
constexpr QRgb kInk = 0xFF1060C0;
const QSize kSize(160, 100);
// The plot area: one pixel of margin on the left and top, more on the right.
const QRect kClip(1, 1, 150, 97);

QImage Blank()
{
    QImage img(kSize, QImage::Format_RGB32);
    img.fill(kBack);
    return img;
}

// The picture QPainter draws with the graph's curve pen.
QImage QtPicture(const QPolygon &pts, int width, const QRect &clip = kClip)
{
    QImage img = Blank();
    QPainter p(&img);
    p.setClipRect(clip);
    QPen pen(QColor::fromRgb(kInk), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setCosmetic(width == 1);
    p.setPen(pen);
    p.drawPolyline(pts);
    return img;
}

QImage FastPicture(const QPolygon &pts, int width, const QRect &clip = kClip)
{
    QImage img = Blank();
    DrawCurveFast(img, pts.constData(), int(pts.size()), kInk, width, clip);
    return img;
}

bool HasNear(const QImage &img, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (img.valid(x + dx, y + dy) && img.pixel(x + dx, y + dy) == kInk)
                return true;
    return false;
}

// First curve pixel of a that has no curve pixel of b within one pixel, or
// an empty string.
QString StrayPixel(const QImage &a, const QImage &b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) == kInk && !HasNear(b, x, y))
                return QString("(%1, %2)").arg(x).arg(y);
    return {};
}

int CountInk(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == kInk;
    return n;
}

int CountDifferent(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += (a.pixel(x, y) == kInk) != (b.pixel(x, y) == kInk);
    return n;
}

// Number of 8-connected groups of curve pixels.
int InkComponents(const QImage &img)
{
    QImage seen(img.size(), QImage::Format_Mono);
    seen.fill(0);
    int groups = 0;
    QList<QPoint> stack;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (img.pixel(x, y) != kInk || seen.pixelIndex(x, y))
                continue;
            ++groups;
            stack = {QPoint(x, y)};
            seen.setPixel(x, y, 1);
            while (!stack.isEmpty()) {
                const QPoint p = stack.takeLast();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QPoint q = p + QPoint(dx, dy);
                        if (img.valid(q) && img.pixel(q) == kInk && !seen.pixelIndex(q)) {
                            seen.setPixel(q, 1);
                            stack.append(q);
                        }
                    }
            }
        }
    return groups;
}

bool InkOutside(const QImage &img, const QRect &clip)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == kInk && !clip.contains(x, y))
                return true;
    return false;
}

// A sweep-like curve: smooth, with a resonance dip and a little noise,
// running off the top of the plot near the ends.
QPolygon Sweep(int count, int left, int right)
{
    QRandomGenerator rng(7);
    QPolygon pts;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / (count - 1);
        const double swr = 1.05 + 6 * std::pow(t - 0.55, 2) * 8 - 5.5 * std::exp(-std::pow((t - 0.55) / 0.04, 2));
        const double y = 95 - swr * 12 + rng.bounded(3.0);
        pts << QPoint(left + int(std::lround(t * (right - left))), int(std::lround(y)));
    }
    return pts;
}

QPolygon Zigzag(int count, quint32 seed)
{
    QRandomGenerator rng(seed);
    QPolygon pts;
    for (int i = 0; i < count; ++i)
        pts << QPoint(5 + i * 140 / count, rng.bounded(5, 95));
    return pts;
}

} // namespace

class TestFastLines : public QObject
{
    Q_OBJECT

private slots:
    void matchesQPainter_data();
    void matchesQPainter();
    void decimationKeepsPicture_data();
    void decimationKeepsPicture();
    void farOutsidePoints_data();
    void farOutsidePoints();
    void hiddenPointsDropped_data();
    void hiddenPointsDropped();
    void writesLandUnderActivePainter();
    void rejectsOtherFormats();
};

void TestFastLines::matchesQPainter_data()
{
    QTest::addColumn<QPolygon>("pts");
    QTest::addColumn<int>("width");
    const QList<QPair<const char *, QPolygon>> shapes = {
        {"sweep", Sweep(300, 3, 149)},
        {"dense sweep", Sweep(3000, 3, 149)},
        {"zigzag", Zigzag(40, 3)},
        {"steep zigzag", Zigzag(150, 11)},
        {"star", QPolygon({{20, 50}, {140, 40}, {30, 90}, {80, 5}, {120, 95}, {20, 50}})},
        {"over the clip edges", QPolygon({{-30, 50}, {80, -20}, {170, 60}, {80, 120}, {-30, 50}})},
    };
    for (const auto &[name, pts] : shapes)
        for (int width : {1, 2, 3, 5, 8})
            QTest::addRow("%s w%d", name, width) << pts << width;
}

// Pixels may differ at rounding ties only: every curve pixel of either
// picture has one of the other within one pixel, the fast curve has no gap,
// covers every point and stays inside the clip.
void TestFastLines::matchesQPainter()
{
    QFETCH(QPolygon, pts);
    QFETCH(int, width);
    const QImage qt = QtPicture(pts, width);
    const QImage fast = FastPicture(pts, width);

    QVERIFY(CountInk(fast) > 0);
    QCOMPARE(StrayPixel(fast, qt), QString());
    QCOMPARE(StrayPixel(qt, fast), QString());
    QVERIFY(!InkOutside(fast, kClip));
    QCOMPARE(InkComponents(fast), InkComponents(qt));
    for (const QPoint &p : pts)
        if (kClip.contains(p))
            QVERIFY2(fast.pixel(p) == kInk, qPrintable(QString("point (%1, %2)").arg(p.x()).arg(p.y())));
    if (width > 1) {
        // Wide strokes fill the same shape: only edge pixels at ties differ.
        const int different = CountDifferent(qt, fast);
        QVERIFY2(different * 25 <= CountInk(qt),
                 qPrintable(QString("%1 of %2 pixels differ").arg(different).arg(CountInk(qt))));
    }
}

void TestFastLines::decimationKeepsPicture_data()
{
    QTest::addColumn<QPolygon>("pts");
    QTest::addColumn<QPoint>("mustKeep");

    QRandomGenerator rng(5);
    QPolygon noisy;
    for (int i = 0; i < 1500; ++i)
        noisy << QPoint(10 + i / 12, 50 + int(20 * std::sin(i / 150.0)) + rng.bounded(-6, 7));
    QPoint lowest = noisy[700]; // the topmost point of its column must stay
    for (const QPoint &p : noisy)
        if (p.x() == lowest.x() && p.y() < lowest.y())
            lowest = p;
    QTest::newRow("noisy, 12 points a column") << noisy << lowest;

    QPolygon dip;
    for (int i = 0; i < 1000; ++i)
        dip << QPoint(20 + i / 10, i == 503 ? 90 : 30);
    QTest::newRow("one-sample dip") << dip << QPoint(70, 90);

    QPolygon column;
    for (int y : {40, 60, 45, 20, 80, 50, 50, 30})
        column << QPoint(70, y);
    QTest::newRow("single column") << column << QPoint(70, 80);

    QTest::newRow("repeated points")
        << QPolygon({{10, 10}, {10, 10}, {10, 10}, {11, 40}, {11, 40}, {12, 12}, {12, 12}})
        << QPoint(11, 40);
}

void TestFastLines::decimationKeepsPicture()
{
    QFETCH(QPolygon, pts);
    QFETCH(QPoint, mustKeep);
    std::vector<QPoint> kept;
    DecimateColumns(pts.constData(), int(pts.size()), kept);

    // An ordered selection of the original points, at most four a column.
    qsizetype at = 0;
    for (const QPoint &p : kept) {
        while (at < pts.size() && pts[at] != p)
            ++at;
        QVERIFY2(at < pts.size(), "a kept point is not an original one in order");
        ++at;
    }
    QCOMPARE(kept.front(), pts.front());
    QCOMPARE(kept.back(), pts.back());
    QMap<int, int> perColumn;
    for (const QPoint &p : kept)
        QVERIFY(++perColumn[p.x()] <= 4);
    QVERIFY(std::find(kept.begin(), kept.end(), mustKeep) != kept.end());

    const QPolygon reduced(QList<QPoint>(kept.begin(), kept.end()));
    // QPainter's own picture does not change...
    QCOMPARE(QtPicture(reduced, 1), QtPicture(pts, 1));
    // ...and neither does the fast one, at any width.
    for (int width : {1, 3, 6}) {
        QImage full = Blank();
        DrawPolylineFast(full, pts.constData(), int(pts.size()), kInk, width, kClip);
        QCOMPARE(FastPicture(pts, width), full);
    }
}

void TestFastLines::farOutsidePoints_data()
{
    // A curve through points far off the plot, and the same lines given by
    // points near it.
    QTest::addColumn<QPolygon>("far");
    QTest::addColumn<QPolygon>("near");
    QTest::newRow("horizontal over the whole int range")
        << QPolygon({{INT_MIN, 40}, {INT_MAX, 40}}) << QPolygon({{-20, 40}, {200, 40}});
    QTest::newRow("diagonal from far corners")
        << QPolygon({{-1000000000, -1000000000}, {1000000000, 1000000000}})
        << QPolygon({{-20, -20}, {200, 200}});
    QTest::newRow("steep, out above and below")
        << QPolygon({{60, -2000000000}, {61, 2000000000}}) << QPolygon({{60, -20}, {60, 120}});
    QTest::newRow("in from far below, out far right")
        << QPolygon({{30, 2000000000}, {30, 50}, {2000000000, 50}})
        << QPolygon({{30, 200}, {30, 50}, {300, 50}});
    QTest::newRow("wholly outside") << QPolygon({{INT_MIN, INT_MIN}, {-5, INT_MIN}, {-5, -3}})
                                    << QPolygon();
}

void TestFastLines::farOutsidePoints()
{
    QFETCH(QPolygon, far);
    QFETCH(QPolygon, near);
    for (int width : {1, 4}) {
        const QImage fast = FastPicture(far, width);
        QVERIFY(!InkOutside(fast, kClip));
        if (near.isEmpty()) {
            QCOMPARE(CountInk(fast), 0);
            continue;
        }
        const QImage qt = QtPicture(near, width);
        QCOMPARE(StrayPixel(fast, qt), QString());
        QCOMPARE(StrayPixel(qt, fast), QString());
    }
}

void TestFastLines::hiddenPointsDropped_data()
{
    QTest::addColumn<QPolygon>("pts");
    QTest::addColumn<int>("atMost"); // points left after dropping

    // Zoomed in: most of the sweep lies left and right of the plot, and it
    // runs off the top near its ends.
    QTest::newRow("zoomed sweep") << Sweep(1001, -600, 750) << 220;
    // A right-axis curve drawn against the left range: far above, dipping
    // into the plot twice.
    QPolygon above;
    for (int i = 0; i < 600; ++i)
        above << QPoint(i / 4, (i > 200 && i < 230) || i > 580 ? 50 : -400 - i % 7);
    QTest::newRow("far above, dipping in") << above << 70;
    // In and out on every side, corners included.
    QRandomGenerator rng(11);
    QPolygon wild;
    for (int i = 0; i < 400; ++i)
        wild << QPoint(rng.bounded(-300, 460), rng.bounded(-300, 400));
    QTest::newRow("in and out everywhere") << wild << 400;
}

void TestFastLines::hiddenPointsDropped()
{
    QFETCH(QPolygon, pts);
    QFETCH(int, atMost);
    std::vector<QPoint> kept(pts.begin(), pts.end());
    DropHiddenPoints(kept, kClip, 4);
    QVERIFY2(int(kept.size()) <= atMost, qPrintable(QString::number(kept.size())));
    QCOMPARE(kept.front(), pts.front());
    QCOMPARE(kept.back(), pts.back());
    // The picture is the same at every width, the end pixel in or out.
    for (int width : {1, 3, 6})
        for (bool endPixel : {true, false}) {
            QImage full = Blank();
            DrawPolylineFast(full, pts.constData(), int(pts.size()), kInk, width, kClip, endPixel);
            QImage fast = Blank();
            DrawCurveFast(fast, pts.constData(), int(pts.size()), kInk, width, kClip, endPixel);
            QVERIFY2(fast == full, qPrintable(QString("width %1, end pixel %2").arg(width).arg(endPixel)));
        }
}

// The graph draws its frame and texts with a QPainter on the same image.
void TestFastLines::writesLandUnderActivePainter()
{
    QImage img = Blank();
    QPainter p(&img);
    p.fillRect(0, 0, 10, 10, Qt::black);
    const QPolygon pts({{20, 20}, {120, 80}});
    DrawCurveFast(img, pts.constData(), int(pts.size()), kInk, 3, kClip);
    p.fillRect(150, 90, 10, 10, Qt::black);
    p.end();
    QCOMPARE(img.pixel(70, 50), kInk);
    QCOMPARE(img.pixel(5, 5), 0xFF000000);
    QCOMPARE(img.pixel(155, 95), 0xFF000000);
}

void TestFastLines::rejectsOtherFormats()
{
    QImage img(20, 20, QImage::Format_RGB16);
    const QPoint pts[2] = {{0, 0}, {10, 10}};
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             DrawCurveFast(img, pts, 2, kInk, 3, img.rect()));
}

QTEST_MAIN(TestFastLines)
#include "tst_fastlines.moc"
