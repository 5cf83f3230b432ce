// The gesture arithmetic and the navigator mapping, without a window.
#include "GraphInteraction.h"
#include "NavigatorMap.h"

#include <QtTest>

#include <cmath>
#include <optional>

using TOptPoint = std::optional<QPoint>;
Q_DECLARE_METATYPE(TZoomTarget)
Q_DECLARE_METATYPE(TScaleMode)
Q_DECLARE_METATYPE(TOptPoint)

namespace {

// X 0..266 and Y 0..125 on a 268 x 127 client: one unit per pixel.
TNavRanges UnitRanges()
{
    TNavRanges r;
    r.MinX = 0;
    r.MaxX = 266;
    r.MinY = 0;
    r.MaxY = 125;
    return r;
}

const QSize kClient(268, 127);

} // namespace

class TestGraphInteraction : public QObject {
    Q_OBJECT

private slots:
    void zoomTarget_data();
    void zoomTarget();
    void zoomStep_data();
    void zoomStep();
    void wheelDirection_data();
    void wheelDirection();
    void arrowTargets_data();
    void arrowTargets();
    void clampWindowKeepsSpan_data();
    void clampWindowKeepsSpan();
    void markerNear_data();
    void markerNear();
    void toleranceSearch();
    void hintText_data();
    void hintText();
    void navigatorGeometry();
    void navigatorScaleGuards_data();
    void navigatorScaleGuards();
    void navigatorFrame_data();
    void navigatorFrame();
    void centreFrameStaysInside_data();
    void centreFrameStaysInside();
    void windowCorner();
};

void TestGraphInteraction::zoomTarget_data()
{
    QTest::addColumn<TScaleMode>("mode");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<TZoomTarget>("target");
    QTest::newRow("smX") << smX << false << TZoomTarget::X;
    QTest::newRow("smX shift") << smX << true << TZoomTarget::Y;
    QTest::newRow("smY") << smY << false << TZoomTarget::Y;
    QTest::newRow("smY shift") << smY << true << TZoomTarget::X;
    QTest::newRow("smXY") << smXY << false << TZoomTarget::Both;
    QTest::newRow("smXY ignores shift") << smXY << true << TZoomTarget::Both;
}

void TestGraphInteraction::zoomTarget()
{
    QFETCH(TScaleMode, mode);
    QFETCH(bool, shift);
    QTEST(ZoomTarget(mode, shift), "target");
}

void TestGraphInteraction::zoomStep_data()
{
    QTest::addColumn<int>("stepScale");
    QTest::addColumn<bool>("zoomIn");
    QTest::addColumn<int>("step");
    QTest::newRow("default in") << 100 << true << 50;
    QTest::newRow("default out") << 100 << false << -50;
    QTest::newRow("odd step truncates") << 75 << true << 37;
    QTest::newRow("step 1 gives nothing") << 1 << true << 0;
}

void TestGraphInteraction::zoomStep()
{
    QFETCH(int, stepScale);
    QFETCH(bool, zoomIn);
    QTEST(ZoomStep(stepScale, zoomIn), "step");
}

void TestGraphInteraction::wheelDirection_data()
{
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("expected"); // 1 in, 0 out, -1 no step
    QTest::newRow("towards the user") << QPoint(0, -120) << false << 1;
    QTest::newRow("away") << QPoint(0, 120) << false << 0;
    QTest::newRow("a fine notch is a whole step") << QPoint(0, -8) << false << 1;
    QTest::newRow("no turn") << QPoint(0, 0) << false << -1;
    QTest::newRow("sideways alone") << QPoint(-120, 0) << false << -1;
    QTest::newRow("shift turned sideways") << QPoint(-120, 0) << true << 1;
    QTest::newRow("shift, vertical kept") << QPoint(120, -120) << true << 1;
}

void TestGraphInteraction::wheelDirection()
{
    QFETCH(QPoint, delta);
    QFETCH(bool, shift);
    QFETCH(int, expected);
    const std::optional<bool> in = WheelZoomsIn(delta, shift);
    QCOMPARE(in ? int(*in) : -1, expected);
}

void TestGraphInteraction::arrowTargets_data()
{
    // 400 x 300, MargX 40, MargY 24: Q = (220, 138).
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<TOptPoint>("target");
    QTest::newRow("left") << int(Qt::Key_Left) << false << TOptPoint(QPoint(210, 138));
    QTest::newRow("right") << int(Qt::Key_Right) << false << TOptPoint(QPoint(230, 138));
    QTest::newRow("up") << int(Qt::Key_Up) << false << TOptPoint(QPoint(220, 128));
    QTest::newRow("down") << int(Qt::Key_Down) << false << TOptPoint(QPoint(220, 148));
    QTest::newRow("ctrl left") << int(Qt::Key_Left) << true << TOptPoint(QPoint(220 - 350, 138));
    QTest::newRow("ctrl right") << int(Qt::Key_Right) << true << TOptPoint(QPoint(220 + 350, 138));
    QTest::newRow("ctrl up") << int(Qt::Key_Up) << true << TOptPoint(QPoint(220, 138 - 268));
    QTest::newRow("ctrl down") << int(Qt::Key_Down) << true << TOptPoint(QPoint(220, 138 + 268));
    QTest::newRow("other key") << int(Qt::Key_A) << false << TOptPoint();
}

void TestGraphInteraction::arrowTargets()
{
    QFETCH(int, key);
    QFETCH(bool, ctrl);
    const QPoint q = ArrowPanCentre(400, 300, 40, 24);
    QCOMPARE(q, QPoint(220, 138));
    QTEST(ArrowPanTarget(key, ctrl, q, 400, 300, 40, 24), "target");
}

void TestGraphInteraction::clampWindowKeepsSpan_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("wantLo");
    QTest::addColumn<double>("wantHi");
    QTest::newRow("inside") << 20.0 << 40.0 << 20.0 << 40.0;
    QTest::newRow("below") << -5.0 << 15.0 << 0.0 << 20.0;
    QTest::newRow("above") << 90.0 << 110.0 << 80.0 << 100.0;
    QTest::newRow("wider than the range ends at hi") << -10.0 << 120.0 << -30.0 << 100.0;
}

void TestGraphInteraction::clampWindowKeepsSpan()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    ClampWindow(lo, hi, 0, 100);
    QTEST(lo, "wantLo");
    QTEST(hi, "wantHi");
}

void TestGraphInteraction::markerNear_data()
{
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<int>("index");
    // Markers at (100, 100) and (103, 100).
    QTest::newRow("on the first") << QPoint(100, 100) << 0;
    QTest::newRow("4 pixels off both ways") << QPoint(96, 104) << 0;
    QTest::newRow("both near: the first added") << QPoint(102, 100) << 0;
    QTest::newRow("only the second near") << QPoint(107, 96) << 1;
    QTest::newRow("5 pixels off in x") << QPoint(95, 100) << -1;
    QTest::newRow("5 pixels off in y") << QPoint(100, 105) << -1;
}

void TestGraphInteraction::markerNear()
{
    QFETCH(QPoint, click);
    const QPoint markers[] = {{100, 100}, {103, 100}};
    QTEST(MarkerNear(markers, click), "index");
}

void TestGraphInteraction::toleranceSearch()
{
    // A control too small to give a divisor gives no tolerance at all.
    QVERIFY(!SearchTolerance(10, 0));
    QCOMPARE(*SearchTolerance(10, 4), 2.5);

    // A zero tolerance (an empty window) still finds the point itself, and
    // neighbours only within 1e-12 of its magnitude.
    QVERIFY(WithinTolerance(5e6, 5e6, 0));
    QVERIFY(WithinTolerance(5e6, 5e6 + 4e-6, 0));
    QVERIFY(!WithinTolerance(5e6, 5e6 + 6e-6, 0));
    QVERIFY(WithinTolerance(0, 5e-13, 0));
    QVERIFY(!WithinTolerance(0, 2e-12, 0));

    // The first point within both tolerances wins.
    const TGraphPoint pts[] = {{0, 0}, {10, 5}, {11, 1}, {12, 1.2}};
    QCOMPARE(FindNearPoint(pts, {11.5, 1.1}, 1, 0.5), 2);
    QCOMPARE(FindNearPoint(pts, {10.5, 3}, 1, 0.5), -1);
}

void TestGraphInteraction::hintText_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("DecimalHint 0") << 0 << 1000000.0 << 2.0 << 0 << "0: (x:1000000, y:2)";
    QTest::newRow("DecimalHint 1") << 12 << 7050000.0 << 1.53 << 1 << "12: (x:7050000.0, y:1.5)";
    QTest::newRow("beyond 10 digits decimals are 0") << 3 << 123456789.123 << -0.5 << 3
                                                     << "3: (x:123456789.100, y:-0.500)";
}

void TestGraphInteraction::hintText()
{
    QFETCH(int, index);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, decimals);
    QTEST(HintText(index, {x, y}, decimals), "text");
}

void TestGraphInteraction::navigatorGeometry()
{
    const QSize client = NavigatorClientSize(QSize(1072, 508));
    QCOMPARE(client, QSize(268, 127));
    const QSize outer = NavigatorOuterSize(client);
    QCOMPARE(outer, QSize(272, 131));
    const QPoint origin(108, 173);
    const QPoint topLeft = NavigatorTopLeft(origin, QSize(1072, 508), outer);
    QCOMPARE(topLeft + QPoint(outer.width(), outer.height()), origin + QPoint(1072, 508));
}

void TestGraphInteraction::navigatorScaleGuards_data()
{
    QTest::addColumn<double>("minX");
    QTest::addColumn<double>("maxX");
    QTest::addColumn<double>("minY");
    QTest::addColumn<double>("maxY");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ordinary") << 1e6 << 30e6 << 1.0 << 4.0 << true;
    QTest::newRow("empty X range") << 5.0 << 5.0 << 1.0 << 4.0 << false;
    QTest::newRow("empty Y range") << 1e6 << 30e6 << 0.0 << 0.0 << false;
    QTest::newRow("reversed range") << 30e6 << 1e6 << 1.0 << 4.0 << false;
    QTest::newRow("infinite range") << -HUGE_VAL << 1.0 << 1.0 << 4.0 << false;
}

void TestGraphInteraction::navigatorScaleGuards()
{
    QFETCH(double, minX);
    QFETCH(double, maxX);
    QFETCH(double, minY);
    QFETCH(double, maxY);
    TNavRanges r;
    r.MinX = minX;
    r.MaxX = maxX;
    r.MinY = minY;
    r.MaxY = maxY;
    const TNavScale s = NavigatorScale(kClient, r);
    QTEST(s.Valid(), "valid");
    if (s.Valid()) {
        QCOMPARE(s.KX, 266 / (maxX - minX));
        QCOMPARE(s.KY, 125 / (maxY - minY));
    } else {
        QCOMPARE(s.KX, 0.0);
        QCOMPARE(s.KY, 0.0);
    }
}

void TestGraphInteraction::navigatorFrame_data()
{
    QTest::addColumn<double>("scMinX");
    QTest::addColumn<double>("scMaxX");
    QTest::addColumn<double>("scMinY");
    QTest::addColumn<double>("scMaxY");
    QTest::addColumn<QRect>("edges"); // left, top, right, bottom as x, y, w, h fields
    QTest::newRow("full view") << 0.0 << 266.0 << 0.0 << 125.0 << QRect(0, 2, 266, 127);
    QTest::newRow("half width, centred") << 66.5 << 199.5 << 0.0 << 125.0 << QRect(66, 2, 200, 127);
    QTest::newRow("narrow grows right") << 100.0 << 103.0 << 0.0 << 125.0 << QRect(100, 2, 108, 127);
    QTest::newRow("low grows down") << 0.0 << 266.0 << 50.0 << 52.0 << QRect(0, 75, 266, 83);
}

void TestGraphInteraction::navigatorFrame()
{
    QFETCH(double, scMinX);
    QFETCH(double, scMaxX);
    QFETCH(double, scMinY);
    QFETCH(double, scMaxY);
    QFETCH(QRect, edges);
    TNavRanges r = UnitRanges();
    r.scMinX = scMinX;
    r.scMaxX = scMaxX;
    r.scMinY = scMinY;
    r.scMaxY = scMaxY;
    const TNavRect f = NavigatorFrame(kClient, r, NavigatorScale(kClient, r));
    QCOMPARE(f, (TNavRect{edges.x(), edges.y(), edges.width(), edges.height()}));
}

void TestGraphInteraction::centreFrameStaysInside_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QRect>("edges");
    // A 40 x 20 frame at (10, 10).
    QTest::newRow("middle") << QPoint(100, 60) << QRect(80, 50, 120, 70);
    QTest::newRow("near the right edge") << QPoint(265, 60) << QRect(228, 50, 268, 70);
    QTest::newRow("near the top-left") << QPoint(3, 2) << QRect(0, 0, 40, 20);
    QTest::newRow("near the bottom") << QPoint(100, 126) << QRect(80, 107, 120, 127);
}

void TestGraphInteraction::centreFrameStaysInside()
{
    QFETCH(QPoint, press);
    QFETCH(QRect, edges);
    const TNavRect f = CentreFrameOn({10, 10, 50, 30}, press, kClient);
    QCOMPARE(f, (TNavRect{edges.x(), edges.y(), edges.width(), edges.height()}));
}

void TestGraphInteraction::windowCorner()
{
    const TNavRanges r = UnitRanges();
    const std::optional<TGraphPoint> c = NavigatorWindowCorner({228, 50, 268, 70}, kClient, r, NavigatorScale(kClient, r));
    QVERIFY(c);
    QCOMPARE(c->X, 228.0);
    QCOMPARE(c->Y, 77.0);
    // No scale (no paint had curves, or an empty range): no corner.
    QVERIFY(!NavigatorWindowCorner({228, 50, 268, 70}, kClient, r, TNavScale{}));
}

QTEST_GUILESS_MAIN(TestGraphInteraction)
#include "tst_graphinteraction.moc"
