// The navigator window: size and place over the graph, its picture, and the
// press that re-centres the graph's view.
#include "GraphInputRig.h"
#include "Navigator.h"

#include <QtTest>

#include <cmath>

namespace {

const QColor kRed(255, 0, 0);
const QColor kCurve(0, 0, 200);

QRect ColourBounds(const QImage &img, const QColor &c)
{
    QRect bounds;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == c.rgb())
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The main window's graph size, X 0..100 and left 0..4, a curve from the
// bottom-left to the top-right corner of the full ranges and back down.
std::unique_ptr<TGraphM> MakeNavGraph()
{
    auto g = MakeGraph(1072, 508);
    AddCurve(*g, {{0, 0}, {100, 4}, {100, 0}}, kCurve);
    return g;
}

// The graph paints (which hands the navigator its ranges); then the
// navigator's own picture.
QImage PaintBoth(TGraphM &g)
{
    (void)g.grab();
    return g.NavigatorWindow()->Picture();
}

// A press at a client point of the navigator.
void PressIn(TNavigator &nav, QPoint client, Qt::MouseButton button = Qt::LeftButton)
{
    Press(nav, button, client + QPoint(kNavigatorBorder, kNavigatorBorder));
}

} // namespace

class TestNavigator : public QObject {
    Q_OBJECT

private slots:
    void sizeAndPlace();
    void followsGraphResize();
    void offAndOnKeepsWindow();
    void fullViewPicture();
    void pictureFollowsCurvesAndRanges();
    void frameOfZoomedView_data();
    void frameOfZoomedView();
    void pressNearRightEdge();
    void pressKeepsWindowSpan();
    void pressAtFullViewChangesNothing();
    void pressWithoutScaleWritesNothing_data();
    void pressWithoutScaleWritesNothing();
    void textBeforeWindowIsKept();
};

void TestNavigator::sizeAndPlace()
{
    auto g = MakeNavGraph();
    g->move(40, 60);
    g->show();
    QVERIFY(!g->NavigatorWindow());
    g->SetNavigator(true);
    TNavigator *nav = g->NavigatorWindow();
    QVERIFY(nav && nav->isVisible());
    QCOMPARE(nav->ClientSize(), QSize(268, 127));
    QCOMPARE(nav->size(), QSize(272, 131));
    QCOMPARE(nav->frameGeometry().bottomRight(), g->mapToGlobal(QPoint(1071, 507)));
    const Qt::WindowFlags flags = nav->windowFlags();
    QVERIFY(nav->isWindow());
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint) && flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(nav->windowType(), Qt::Tool);
    QVERIFY(std::abs(nav->windowOpacity() - 150.0 / 255) < 0.01);
}

void TestNavigator::followsGraphResize()
{
    auto g = MakeNavGraph();
    g->show();
    g->SetNavigator(true);
    g->resize(800, 400);
    TNavigator *nav = g->NavigatorWindow();
    QCOMPARE(nav->ClientSize(), QSize(200, 100));
    QCOMPARE(nav->frameGeometry().bottomRight(), g->mapToGlobal(QPoint(799, 399)));
}

void TestNavigator::offAndOnKeepsWindow()
{
    auto g = MakeNavGraph();
    g->SetNavigator(true);
    TNavigator *nav = g->NavigatorWindow();
    const QPoint at = nav->pos();
    g->SetNavigator(false);
    QVERIFY(!nav->isVisible());
    // Hidden, it still follows the graph's paints.
    (void)g->grab();
    g->SetPHit({-1, 0});
    g->SetScaleX(200);
    (void)g->grab();
    QVERIFY(nav->Sh());
    QCOMPARE(nav->Ranges().scMinX, 25.0);
    g->SetNavigator(true);
    QCOMPARE(g->NavigatorWindow(), nav);
    QVERIFY(nav->isVisible());
    QCOMPARE(nav->pos(), at);
}

void TestNavigator::fullViewPicture()
{
    auto g = MakeNavGraph();
    TCurve *hidden = AddCurve(*g, {{0, 4}, {100, 4}}, Qt::green);
    hidden->SetVisible(false);
    AddCurve(*g, {{50, 2}}, Qt::green); // one point: no line
    g->SetNavigator(true);
    const QImage img = PaintBoth(*g);
    QCOMPARE(img.size(), QSize(268, 127));
    QVERIFY(ColourBounds(img, kRed).isNull());
    QVERIFY(ColourBounds(img, Qt::green).isNull());
    // The curve spans x 0 .. CW - 2 and y CH .. 2; x 0 lies on the grey
    // frame, which the curves never cover, and y CH below the picture.
    QCOMPARE(ColourBounds(img, kCurve), QRect(QPoint(1, 2), QPoint(266, 126)));
    QCOMPARE(img.pixel(0, 126), QColor(128, 128, 128).rgb());
}

void TestNavigator::pictureFollowsCurvesAndRanges()
{
    auto g = MakeNavGraph();
    g->SetNavigator(true);
    QCOMPARE(ColourBounds(PaintBoth(*g), kCurve), QRect(QPoint(1, 2), QPoint(266, 126)));
    TCurve *c = g->Curves()->Items(0);
    c->SetColor(Qt::green);
    QVERIFY(ColourBounds(PaintBoth(*g), kCurve).isNull());
    c->SetColor(kCurve);
    g->SetMaxYValue(8); // the curve now reaches half way up
    QCOMPARE(ColourBounds(PaintBoth(*g), kCurve), QRect(QPoint(1, 65), QPoint(266, 126)));
    c->SetVisible(false);
    QVERIFY(ColourBounds(PaintBoth(*g), kCurve).isNull());
    c->SetVisible(true);
    c->AddPoint(0, 8); // back to the top-left corner
    QVERIFY(ColourBounds(PaintBoth(*g), kCurve).top() <= 3);
}

void TestNavigator::frameOfZoomedView_data()
{
    QTest::addColumn<int>("scaleX");
    QTest::addColumn<QRect>("frame");
    // X 25..75 of 0..100: 66.5 and 199.5 rounded to even.
    QTest::newRow("200 % centred") << 200 << QRect(QPoint(66, 2), QPoint(199, 126));
    QTest::newRow("at least 8 pixels") << 10000 << QRect(QPoint(132, 2), QPoint(139, 126));
}

void TestNavigator::frameOfZoomedView()
{
    QFETCH(int, scaleX);
    QFETCH(QRect, frame);
    auto g = MakeNavGraph();
    g->SetNavigator(true);
    (void)g->grab();
    g->SetPHit({-1, 0});
    g->SetScaleX(scaleX);
    QCOMPARE(ColourBounds(PaintBoth(*g), kRed), frame);
}

void TestNavigator::pressNearRightEdge()
{
    auto g = MakeNavGraph();
    g->SetNavigator(true);
    (void)g->grab();
    g->SetPHit({-1, 0});
    g->SetScaleX(200);
    g->SetScaleY(200);
    (void)PaintBoth(*g);
    TNavigator *nav = g->NavigatorWindow();
    PressIn(*nav, {267, 1});
    // The frame stops at CW, a little beyond the curves' last column; and at
    // the top, a little above the range's upper end (up to the rounding of
    // the frame's edges).
    const double kx = nav->KX(), ky = nav->KY();
    QVERIFY(std::abs(g->scMaxX - (0 + 268 / kx)) <= 1.001 / kx);
    QVERIFY(g->scMaxX > g->MaxXValue());
    QVERIFY(std::abs(g->scMaxY - (0 + 127 / ky)) <= 1.001 / ky);
    QVERIFY(g->scMaxY > g->MaxYValue());
    // The zooms stay; the graph repaints and hands the new window back.
    QCOMPARE(g->ScaleX(), 200);
    const double scMinX = g->scMinX;
    (void)g->grab();
    QCOMPARE(nav->Ranges().scMinX, scMinX);
    PressIn(*nav, {0, 60}, Qt::RightButton); // only the left button acts
    QCOMPARE(g->scMinX, scMinX);
}

void TestNavigator::pressKeepsWindowSpan()
{
    // The frame's edges are whole navigator pixels; the window must keep its
    // own span, or the axis labels would no longer match the curves.
    auto g = MakeNavGraph();
    g->SetNavigator(true);
    (void)g->grab();
    g->SetPHit({-1, 0});
    g->SetScaleX(300);
    g->SetScaleY(700);
    (void)PaintBoth(*g);
    const double w = g->scMaxX - g->scMinX, h = g->scMaxY - g->scMinY;
    PressIn(*g->NavigatorWindow(), {100, 90});
    QCOMPARE(g->scMaxX - g->scMinX, w);
    QCOMPARE(g->scMaxY - g->scMinY, h);
    // Centred on the press, up to the frame's rounding.
    const TNavigator &nav = *g->NavigatorWindow();

    QVERIFY(std::abs((g->scMinX + g->scMaxX) / 2 - 100 / nav.KX()) <= 1.5 / nav.KX());
    QVERIFY(std::abs((g->scMinY + g->scMaxY) / 2 - (127 - 90) / nav.KY()) <= 1.5 / nav.KY());
}

void TestNavigator::pressAtFullViewChangesNothing()
{
    auto g = MakeNavGraph();
    g->SetNavigator(true);
    (void)PaintBoth(*g);
    const quint64 requests = g->RepaintRequests();
    PressIn(*g->NavigatorWindow(), {30, 100});
    QCOMPARE(g->RepaintRequests(), requests + 1);
    (void)g->grab();
    QCOMPARE((std::array{g->scMinX, g->scMaxX, g->scMinY, g->scMaxY}), (std::array{0.0, 100.0, 0.0, 4.0}));
}

void TestNavigator::pressWithoutScaleWritesNothing_data()
{
    QTest::addColumn<bool>("curves");
    QTest::addColumn<double>("maxX");
    QTest::newRow("before any curve") << false << 100.0;
    QTest::newRow("empty full X range") << true << 0.0;
}

void TestNavigator::pressWithoutScaleWritesNothing()
{
    QFETCH(bool, curves);
    QFETCH(double, maxX);
    auto g = MakeGraph(1072, 508);
    g->SetMaxXValue(maxX);
    if (curves)
        AddCurve(*g, {{0, 1}, {0, 3}});
    g->SetNavigator(true);
    (void)PaintBoth(*g);
    TNavigator *nav = g->NavigatorWindow();
    QCOMPARE(nav->KX(), 0.0);
    const std::array before{g->scMinX, g->scMaxX, g->scMinY, g->scMaxY};
    PressIn(*nav, {200, 20});
    QCOMPARE((std::array{g->scMinX, g->scMaxX, g->scMinY, g->scMaxY}), before);
}

void TestNavigator::textBeforeWindowIsKept()
{
    auto g = MakeNavGraph();
    g->SetNavigatorText(QStringLiteral("Track 7"));
    g->SetNavigator(true);
    TNavigator *nav = g->NavigatorWindow();
    QCOMPARE(nav->windowTitle(), QStringLiteral("Track 7"));
    const auto darkInCorner = [](const QImage &img) {
        int n = 0;
        for (int y = 2; y < 14; ++y)
            for (int x = 4; x < 60; ++x)
                n += qGray(img.pixel(x, y)) < 100;
        return n;
    };
    QVERIFY(darkInCorner(PaintBoth(*g)) > 10);
    g->SetNavigatorText(QString());
    QCOMPARE(darkInCorner(PaintBoth(*g)), 0);
}

QTEST_MAIN(TestNavigator)
#include "tst_navigator.moc"
