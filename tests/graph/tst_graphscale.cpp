#include "GraphFixture.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <map>

namespace {

struct Property {
    std::function<void(TGraphM &, double)> set;
    std::function<double(const TGraphM &)> get;
};

double AsNumber(const QColor &c)
{
    return c.rgb() & 0xffffff;
}

const std::map<QString, Property> &Properties()
{
    static const std::map<QString, Property> props{
        {"MinXValue", {[](TGraphM &g, double v) { g.SetMinXValue(v); }, [](const TGraphM &g) { return g.MinXValue(); }}},
        {"MaxXValue", {[](TGraphM &g, double v) { g.SetMaxXValue(v); }, [](const TGraphM &g) { return g.MaxXValue(); }}},
        {"MinYValue", {[](TGraphM &g, double v) { g.SetMinYValue(v); }, [](const TGraphM &g) { return g.MinYValue(); }}},
        {"MaxYValue", {[](TGraphM &g, double v) { g.SetMaxYValue(v); }, [](const TGraphM &g) { return g.MaxYValue(); }}},
        {"MinYRValue", {[](TGraphM &g, double v) { g.SetMinYRValue(v); }, [](const TGraphM &g) { return g.MinYRValue(); }}},
        {"MaxYRValue", {[](TGraphM &g, double v) { g.SetMaxYRValue(v); }, [](const TGraphM &g) { return g.MaxYRValue(); }}},
        {"DecimalHint", {[](TGraphM &g, double v) { g.SetDecimalHint(int(v)); }, [](const TGraphM &g) { return double(g.DecimalHint()); }}},
        {"Precision", {[](TGraphM &g, double v) { g.SetPrecision(int(v)); }, [](const TGraphM &g) { return double(g.Precision()); }}},
        {"StepScale", {[](TGraphM &g, double v) { g.SetStepScale(int(v)); }, [](const TGraphM &g) { return double(g.StepScale()); }}},
        {"GridX", {[](TGraphM &g, double v) { g.SetGridX(v != 0); }, [](const TGraphM &g) { return double(g.GridX()); }}},
        {"Details", {[](TGraphM &g, double v) { g.SetDetails(v != 0); }, [](const TGraphM &g) { return double(g.Details()); }}},
        {"Color", {[](TGraphM &g, double v) { g.SetColor(QColor::fromRgb(QRgb(v))); }, [](const TGraphM &g) { return AsNumber(g.Color()); }}},
        {"ColorGrid", {[](TGraphM &g, double v) { g.SetColorGrid(QColor::fromRgb(QRgb(v))); }, [](const TGraphM &g) { return AsNumber(g.ColorGrid()); }}},
    };
    return props;
}

} // namespace

class TestGraphScale : public QObject {
    Q_OBJECT

private slots:
    void newGraphDefaults();
    void setters_data();
    void setters();
    void zoomXClampsToFullRange();
    void zoomRules_data();
    void zoomRules();
    void zoomBothRestoresFullView();
    void zoomYClampingDiffersFromZoomBoth();
    void centreReference();
    void fullRangeWidensFromHiddenCurve();
    void autoScaleY_data();
    void autoScaleY();
    void autoScaleBothAxesShowsAllData();
    void autoScaleGuards();
    void degenerateRangesStayFinite();
};

void TestGraphScale::newGraphDefaults()
{
    TGraphM g;
    QCOMPARE(g.size(), QSize(320, 210));
    QCOMPARE(g.focusPolicy(), Qt::StrongFocus);
    for (double v : {g.MinXValue(), g.MinYValue(), g.MinYRValue()})
        QCOMPARE(v, 0.0);
    for (double v : {g.MaxXValue(), g.MaxYValue(), g.MaxYRValue()})
        QCOMPARE(v, 100.0);
    QCOMPARE(g.ScaleX(), 100);
    QCOMPARE(g.ScaleY(), 100);
    QCOMPARE(g.StepScale(), 100);
    QCOMPARE(g.ScaleMode(), smXY);
    QCOMPARE(g.Color(), QColor(Qt::white));
    QCOMPARE(g.ColorGrid(), QColor(192, 192, 192));
    QVERIFY(g.GridX() && g.GridY() && g.ShowTextScale() && !g.Details());
    QCOMPARE(g.GetMargY(), 24);
    for (double w : {g.scMinX, g.scMaxX, g.scMinY, g.scMaxY, g.scMinYr, g.scMaxYr})
        QCOMPARE(w, 0.0);

    // With no visible curve the drawing resets every window to its range.
    g.SetMinYRValue(-3);
    g.DrawToBitmap();
    QCOMPARE((std::array{g.scMinX, g.scMaxX, g.scMinY, g.scMaxY, g.scMinYr, g.scMaxYr}),
             (std::array{0.0, 100.0, 0.0, 100.0, -3.0, 100.0}));
}

void TestGraphScale::setters_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("scaleX");
    QTest::addColumn<double>("written");
    QTest::addColumn<double>("stored");
    QTest::addColumn<int>("requests");
    const double nan = std::nan("");
    QTest::newRow("MaxXValue negative") << "MaxXValue" << 100 << -5.0 << 0.0 << 1;
    QTest::newRow("MaxXValue zero") << "MaxXValue" << 100 << 0.0 << 0.0 << 1;
    QTest::newRow("MaxXValue same") << "MaxXValue" << 100 << 100.0 << 100.0 << 0;
    QTest::newRow("MaxYValue negative") << "MaxYValue" << 100 << -5.0 << 0.0 << 1;
    QTest::newRow("MaxYValue zero") << "MaxYValue" << 100 << 0.0 << 0.0 << 1;
    QTest::newRow("MinYValue negative") << "MinYValue" << 100 << -40.0 << -40.0 << 1;
    QTest::newRow("MinXValue same") << "MinXValue" << 100 << 0.0 << 0.0 << 0;
    QTest::newRow("MinYRValue") << "MinYRValue" << 100 << -2.5 << -2.5 << 1;
    QTest::newRow("MaxYRValue negative kept") << "MaxYRValue" << 100 << -5.0 << -5.0 << 1;
    QTest::newRow("MinXValue NaN ignored") << "MinXValue" << 100 << nan << 0.0 << 0;
    QTest::newRow("MaxYValue infinity ignored") << "MaxYValue" << 100 << HUGE_VAL << 100.0 << 0;
    QTest::newRow("DecimalHint 7 ignored") << "DecimalHint" << 100 << 7.0 << 1.0 << 0;
    QTest::newRow("DecimalHint -1 ignored") << "DecimalHint" << 100 << -1.0 << 1.0 << 0;
    QTest::newRow("DecimalHint 6") << "DecimalHint" << 100 << 6.0 << 6.0 << 0;
    QTest::newRow("Precision 4") << "Precision" << 100 << 4.0 << 1.0 << 1;
    QTest::newRow("Precision -1") << "Precision" << 100 << -1.0 << 1.0 << 1;
    QTest::newRow("Precision 3") << "Precision" << 100 << 3.0 << 3.0 << 1;
    QTest::newRow("Precision same") << "Precision" << 100 << 1.0 << 1.0 << 0;
    QTest::newRow("StepScale 0") << "StepScale" << 100 << 0.0 << 100.0 << 0;
    QTest::newRow("StepScale at full view") << "StepScale" << 100 << 50.0 << 50.0 << 0;
    QTest::newRow("StepScale zoomed") << "StepScale" << 150 << 50.0 << 50.0 << 1;
    QTest::newRow("GridX changed") << "GridX" << 100 << 0.0 << 0.0 << 1;
    QTest::newRow("GridX same") << "GridX" << 100 << 1.0 << 1.0 << 0;
    QTest::newRow("Details changed") << "Details" << 100 << 1.0 << 1.0 << 1;
    QTest::newRow("Color same still repaints") << "Color" << 100 << double(0xffffff) << double(0xffffff) << 1;
    QTest::newRow("ColorGrid same") << "ColorGrid" << 100 << double(0xc0c0c0) << double(0xc0c0c0) << 0;
    QTest::newRow("ColorGrid changed") << "ColorGrid" << 100 << double(0x102030) << double(0x102030) << 1;
}

void TestGraphScale::setters()
{
    QFETCH(QString, property);
    QFETCH(int, scaleX);
    QFETCH(double, written);
    QFETCH(double, stored);
    QFETCH(int, requests);
    TGraphM g;
    g.SetScaleX(scaleX);
    const Property &p = Properties().at(property);
    const quint64 before = g.RepaintRequests();
    p.set(g, written);
    QCOMPARE(p.get(g), stored);
    QCOMPARE(int(g.RepaintRequests() - before), requests);
}

void TestGraphScale::zoomXClampsToFullRange()
{
    auto g = MakeGraph(1072, 508);
    g->SetMinXValue(1000000);
    g->SetMaxXValue(30000000);
    AddCurve(*g, {{1e6, 1}, {3e7, 2}});
    g->DrawToBitmap();
    g->SetPHit(g->GraphPointToPoint({5e6, 2}));
    QVERIFY(std::abs(g->PointToGraphPoint(g->GetPHit()).X - 5e6) <= g->GetVpDX());

    std::vector<std::pair<int, int>> reports;
    g->OnScaleChange = [&](TGraphM *sender, int sx, int sy) {
        QCOMPARE(sender, g.get());
        reports.emplace_back(sx, sy);
    };
    g->SetScaleX(150);
    QCOMPARE(g->scMinX, 1000000.0);
    QCOMPARE(g->scMaxX, 1000000.0 + 29000000.0 / 1.5);
    QCOMPARE(g->GetSclKX(), 1.5);
    QCOMPARE(reports, (std::vector<std::pair<int, int>>{{150, 100}}));

    // Zoomed in: the drawing keeps the window.
    g->DrawToBitmap();
    QCOMPARE(g->scMaxX, 1000000.0 + 29000000.0 / 1.5);
}

void TestGraphScale::zoomRules_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("scaleX");
    QTest::addColumn<int>("reports");
    QTest::newRow("below 100 from 120") << 120 << 50 << 100 << 1;
    QTest::newRow("below 100 at 100") << 100 << 50 << 100 << 1;
    QTest::newRow("same value") << 120 << 120 << 120 << 0;
    QTest::newRow("no upper limit") << 100 << 100000 << 100000 << 1;
}

void TestGraphScale::zoomRules()
{
    QFETCH(int, start);
    QFETCH(int, written);
    QFETCH(int, scaleX);
    QFETCH(int, reports);
    auto g = MakeGraph();
    AddCurve(*g, {{0, 1}, {100, 2}});
    g->DrawToBitmap();
    g->SetPHit({-1, 0});
    g->SetScaleX(start);
    const double minBefore = g->scMinX, maxBefore = g->scMaxX;
    int calls = 0;
    g->OnScaleChange = [&](TGraphM *, int sx, int) {
        ++calls;
        QCOMPARE(sx, scaleX);
    };
    g->SetScaleX(written);
    QCOMPARE(g->ScaleX(), scaleX);
    QCOMPARE(calls, reports);
    if (reports == 0) {
        QCOMPARE(g->scMinX, minBefore);
        QCOMPARE(g->scMaxX, maxBefore);
    } else {
        QCOMPARE(g->scMaxX - g->scMinX, 100.0 / (scaleX / 100.0));
        QVERIFY(g->scMinX >= 0 && g->scMaxX <= 100);
    }
}

void TestGraphScale::zoomBothRestoresFullView()
{
    auto g = MakeGraph();
    AddCurve(*g, {{0, 1}, {100, 2}});
    g->DrawToBitmap();
    int calls = 0;
    g->OnScaleChange = [&](TGraphM *, int, int) { ++calls; };
    const quint64 before = g->RepaintRequests();
    g->SetScaleXY(100);
    QCOMPARE(calls, 0);
    QCOMPARE(g->RepaintRequests(), before);

    g->SetPHit(g->GraphPointToPoint({80, 3}));
    g->SetScaleX(300);
    g->SetScaleXY(100);
    QCOMPARE(calls, 2);
    QCOMPARE((std::array{g->scMinX, g->scMaxX, g->scMinY, g->scMaxY}), (std::array{0.0, 100.0, 0.0, 4.0}));
    QCOMPARE(g->GetSclKX(), 1.0);
    QCOMPARE(g->GetSclKY(), 1.0);
}

void TestGraphScale::zoomYClampingDiffersFromZoomBoth()
{
    auto g = MakeGraph();
    AddCurve(*g, {{0, 1}, {100, 2}});
    g->DrawToBitmap();
    const QPoint nearTop = g->GraphPointToPoint({50, 3.9});

    g->SetPHit(nearTop);
    g->SetScaleY(200);
    QVERIFY(g->scMaxY > g->MaxYValue());
    QCOMPARE(g->scMaxY - g->scMinY, 2.0);

    g->SetScaleXY(100);
    g->DrawToBitmap();
    g->SetPHit(nearTop);
    g->SetScaleXY(200);
    QCOMPARE(g->scMaxY, 4.0);
    QCOMPARE(g->scMinY, 2.0);
}

void TestGraphScale::centreReference()
{
    auto g = MakeGraph();
    AddCurve(*g, {{0, 1}, {100, 2}});
    g->DrawToBitmap();
    const TGraphPoint centre = g->PointToGraphPoint({-1, 12345});
    const QPoint pixel(g->GetMargX() + g->GetLenX() / 2, g->height() - g->GetMargY() - g->GetLenY() / 2);
    QCOMPARE(centre, g->PointToGraphPoint(pixel));
    const QPoint back = g->GraphPointToPoint(centre);
    QVERIFY(std::abs(back.x() - pixel.x()) <= 1 && std::abs(back.y() - pixel.y()) <= 1);

    // Zooming around the centre keeps the window's centre.
    g->SetPHit({-1, 0});
    g->SetScaleX(200);
    QCOMPARE((g->scMinX + g->scMaxX) / 2, centre.X);
}

void TestGraphScale::fullRangeWidensFromHiddenCurve()
{
    auto g = MakeGraph();
    AddCurve(*g, {{10, 1}, {20, 2}});
    TCurve *hidden = AddCurve(*g, {{-5, -1}, {135, 3}});
    hidden->SetVisible(false);
    AddCurve(*g, {{50, 1}, {60, 12}}, Qt::blue, 1, axRight);
    g->DrawToBitmap();
    QCOMPARE((std::array{g->MinXValue(), g->MaxXValue(), g->MinYValue(), g->MaxYValue()}),
             (std::array{-5.0, 135.0, -1.0, 4.0}));
    QCOMPARE(g->MaxYRValue(), 12.0);
    QCOMPARE(g->scMaxX, 135.0);

    // A narrower sweep does not shrink the range back.
    hidden->ClearPoints();
    g->DrawToBitmap();
    QCOMPARE(g->MaxXValue(), 135.0);

    // Zoomed in, nothing widens.
    hidden->AddPoint(500, 1);
    hidden->AddPoint(600, 1);
    g->SetScaleX(150);
    g->DrawToBitmap();
    QCOMPARE(g->MaxXValue(), 135.0);

    // Without a visible curve nothing widens either.
    g->SetScaleXY(100);
    for (int i = 0; i < g->Curves()->Count(); ++i)
        g->Curves()->Items(i)->SetVisible(false);
    g->DrawToBitmap();
    QCOMPARE(g->MaxXValue(), 135.0);
}

void TestGraphScale::autoScaleY_data()
{
    QTest::addColumn<int>("axis");
    QTest::addColumn<double>("fullMin");
    QTest::addColumn<double>("fullMax");
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("winMin");
    QTest::addColumn<double>("winMax");
    QTest::addColumn<int>("scaleY");
    QTest::newRow("SWR 1.2..2.0 of 1..4") << int(axLeft) << 1.0 << 4.0 << 1.2 << 2.0 << 1.164 << 2.036 << 344;
    QTest::newRow("RL -25..-5 of -40..0") << int(axLeft) << -40.0 << 0.0 << -25.0 << -5.0 << -25.75 << -4.25 << 186;
    QTest::newRow("right 20..50 of 0..100") << int(axRight) << 0.0 << 100.0 << 20.0 << 50.0 << 19.4 << 50.6 << 321;
}

void TestGraphScale::autoScaleY()
{
    QFETCH(int, axis);
    QFETCH(double, fullMin);
    QFETCH(double, fullMax);
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, winMin);
    QFETCH(double, winMax);
    QFETCH(int, scaleY);
    auto g = MakeGraph();
    const bool left = axis == axLeft;
    left ? g->SetMinYValue(fullMin) : g->SetMinYRValue(fullMin);
    left ? g->SetMaxYValue(fullMax) : g->SetMaxYRValue(fullMax);
    // Points outside the X window (and on hidden curves) do not count.
    AddCurve(*g, {{10, hi}, {30, (lo + hi) / 2}, {50, lo}, {150, lo - 100}}, Qt::red, 1, TAxis(axis));
    AddCurve(*g, {{20, lo - 50}, {40, hi + 50}}, Qt::red, 1, TAxis(axis))->SetVisible(false);
    g->scMinX = 0;
    g->scMaxX = 100;
    const double otherMin = left ? g->scMinYr : g->scMinY;
    const double otherMax = left ? g->scMaxYr : g->scMaxY;
    int calls = 0;
    g->OnScaleChange = [&](TGraphM *, int, int) { ++calls; };
    const quint64 before = g->RepaintRequests();

    g->SetAutoScaleY();
    QCOMPARE(left ? g->scMinY : g->scMinYr, winMin);
    QCOMPARE(left ? g->scMaxY : g->scMaxYr, winMax);
    QCOMPARE(g->GetSclKY(), (fullMax - fullMin) / (winMax - winMin));
    QCOMPARE(g->ScaleY(), scaleY);
    QCOMPARE(left ? g->scMinYr : g->scMinY, otherMin);
    QCOMPARE(left ? g->scMaxYr : g->scMaxY, otherMax);
    QCOMPARE(g->ScaleX(), 100);
    QCOMPARE(calls, 0);
    QCOMPARE(int(g->RepaintRequests() - before), 1);
}

void TestGraphScale::autoScaleBothAxesShowsAllData()
{
    auto g = MakeGraph();
    g->SetMinYValue(1);
    g->SetMaxYValue(4);
    g->SetMaxYRValue(1000);
    AddCurve(*g, {{10, 1.2}, {90, 2.0}});
    AddCurve(*g, {{10, 100}, {90, 800}}, Qt::blue, 1, axRight);
    g->DrawToBitmap();
    g->SetAutoScaleY();

    // The right axis needs the smaller zoom (1000 / 706 against 3 / 0.872).
    QCOMPARE(g->GetSclKY(), 1000.0 / 706);
    QCOMPARE(g->scMinYr, 97.0);
    QCOMPARE(g->scMaxYr, 803.0);
    // The left axis takes the shared zoom and still shows all of its data.
    QCOMPARE(g->scMinY + g->scMaxY, 1.164 + 2.036);
    QCOMPARE(g->scMaxY - g->scMinY, 3 / g->GetSclKY());
    QVERIFY(g->scMinY <= 1.2 && g->scMaxY >= 2.0);
    QCOMPARE(g->ScaleY(), 142);
}

void TestGraphScale::autoScaleGuards()
{
    auto g = MakeGraph();
    TCurve *c = AddCurve(*g, {{200, 1}, {300, 2}});
    g->scMinX = 0;
    g->scMaxX = 100;
    const double minY = g->scMinY, maxY = g->scMaxY;
    const quint64 before = g->RepaintRequests();
    g->SetAutoScaleY(); // no point inside the X window
    QCOMPARE(g->RepaintRequests(), before);
    QCOMPARE(g->scMinY, minY);
    QCOMPARE(g->scMaxY, maxY);
    QCOMPARE(g->ScaleY(), 100);

    // All values 0: no margin, yet the window must keep a span.
    c->AddPoint(50, 0);
    c->AddPoint(60, 0);
    g->SetAutoScaleY();
    QVERIFY(g->scMaxY > g->scMinY);
    QVERIFY(g->scMinY <= 0 && g->scMaxY >= 0);
    QVERIFY(std::isfinite(g->GetSclKY()) && g->GetSclKY() > 0);
    const QImage img = g->DrawToBitmap();
    QVERIFY(!img.isNull());
}

void TestGraphScale::degenerateRangesStayFinite()
{
    auto g = MakeGraph();
    g->SetMaxXValue(0); // X range 0..0
    g->SetMinYValue(4); // left range 4..4
    g->SetMaxYValue(4);
    TCurve *c = AddCurve(*g, {{0, 4}, {0, 4}});
    c->AddPoint(std::nan(""), 1);
    g->AddMarker(0, 4);
    g->DrawToBitmap();
    g->SetPHit({-1, 0});
    g->SetScaleX(400);
    g->SetScaleY(300);
    g->SetScaleXY(250);
    g->SetAutoScaleY();
    g->DrawToBitmap();
    const TGraphPoint v = g->PointToGraphPoint({10, 10});
    QVERIFY(std::isfinite(v.X) && std::isfinite(v.Y));
    for (double w : {g->scMinX, g->scMaxX, g->scMinY, g->scMaxY, g->GetVpDX(), g->GetVpDY()})
        QVERIFY(std::isfinite(w));

    // A control too small for a plot area still draws.
    g->resize(10, 10);
    QCOMPARE(g->DrawToBitmap().size(), QSize(10, 10));
}

QTEST_MAIN(TestGraphScale)
#include "tst_graphscale.moc"
