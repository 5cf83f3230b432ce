#include "GraphFixture.h"
#include "GraphLayers.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

using TStamps = std::vector<quint64>;
Q_DECLARE_METATYPE(TStamps)

namespace {

// Six curves over both axes with several widths, one with point marks, a
// marker with a text, grid and zoom text on.
void SetUp(TGraphM &g)
{
    g.SetGridX(true);
    g.SetGridY(true);
    g.SetShowTextScale(true);
    g.SetColor(QColor(250, 250, 240));
    const QColor colours[] = {Qt::red, Qt::blue, Qt::darkGreen, Qt::magenta, Qt::darkCyan, Qt::black};
    const int widths[] = {3, 1, 2, 5, 3, 3};
    for (int c = 0; c < 6; ++c) {
        TCurve *curve = g.Curves()->Add();
        curve->SetColor(colours[c]);
        curve->SetThickLine(widths[c]);
        curve->SetAxis(c % 2 ? axRight : axLeft);
        curve->SetDetails(c == 4);
        for (int i = 0; i <= 40; ++i)
            curve->AddPoint(i * 2.0, (c % 2 ? 4 : 2) + (c % 2 ? 3 : 1.5) * std::sin(i * 0.2 + c));
    }
    g.AddMarker(30, 2);
    g.OnMarkerGetText = [](TGraphM *, int index, QString &text) { text = QString("m%1").arg(index); };
}

void AppendTo(TGraphM &g, int curve)
{
    TCurve *c = g.Curves()->Items(curve);
    // Small steps: the full X range must not widen.
    const double x = c->Count() ? c->Points(c->Count() - 1).X + 0.2 : 0;
    c->AddPoint(x, 2 + std::sin(x));
}

} // namespace

class TestGraphLayers : public QObject {
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
    void cachedPictureEqualsFreshOne();
    void picturesAreIndependent();
};

void TestGraphLayers::plan_data()
{
    QTest::addColumn<TStamps>("drawn");
    QTest::addColumn<int>("layerCurves");
    QTest::addColumn<TStamps>("now");
    QTest::addColumn<bool>("fromCurveLayer");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("keep");

    QTest::newRow("last curve grew") << TStamps{1, 2, 3, 4} << 3 << TStamps{1, 2, 3, 9} << true << 3 << 3;
    QTest::newRow("nothing changed: the last curve stays out of the layer")
        << TStamps{1, 2, 3, 4} << 3 << TStamps{1, 2, 3, 4} << true << 3 << 3;
    QTest::newRow("a curve above the layer changed: the layer grows to it")
        << TStamps{1, 2, 3, 4, 5} << 1 << TStamps{1, 2, 3, 9, 5} << true << 1 << 3;
    QTest::newRow("a curve in the layer changed")
        << TStamps{1, 2, 3, 4} << 3 << TStamps{1, 9, 3, 4} << false << 0 << 1;
    QTest::newRow("first curve changed") << TStamps{1, 2, 3} << 2 << TStamps{9, 2, 3} << false << 0 << 0;
    QTest::newRow("curve added") << TStamps{1, 2} << 1 << TStamps{1, 2, 7} << true << 1 << 2;
    QTest::newRow("last curve deleted: the layer is still good")
        << TStamps{1, 2, 3} << 2 << TStamps{1, 2} << true << 2 << 2;
    QTest::newRow("curves of the layer deleted") << TStamps{1, 2, 3} << 2 << TStamps{1} << false << 0 << 0;
    QTest::newRow("a layer curve replaced") << TStamps{1, 2, 3} << 2 << TStamps{1, 8, 3} << false << 0 << 1;
    QTest::newRow("all curves gone") << TStamps{1, 2} << 1 << TStamps{} << false << 0 << 0;
    QTest::newRow("no curves at all") << TStamps{} << 0 << TStamps{} << true << 0 << 0;
}

void TestGraphLayers::plan()
{
    QFETCH(TStamps, drawn);
    QFETCH(int, layerCurves);
    QFETCH(TStamps, now);
    const TLayerPlan plan = PlanLayers(drawn, layerCurves, now);
    QTEST(plan.FromCurveLayer, "fromCurveLayer");
    QTEST(plan.Start, "start");
    QTEST(plan.Keep, "keep");
}

// The same changes on a graph with the layer cache and on one without: every
// picture must be the same, and a point appended to the newest curve redraws
// that curve alone.
void TestGraphLayers::cachedPictureEqualsFreshOne()
{
    auto cached = MakeGraph(420, 300);
    auto fresh = MakeGraph(420, 300);
    fresh->SetLayerCache(false);
    QVERIFY(cached->LayerCache());
    SetUp(*cached);
    SetUp(*fresh);

    struct TStep {
        const char *Name;
        std::function<void(TGraphM &)> Change;
        int CurvesDrawn; // by the cached graph; -1: not checked
    };
    const auto nothing = [](TGraphM &) {};
    const auto appendLast = [](TGraphM &g) { AppendTo(g, g.Curves()->Count() - 1); };
    const std::vector<TStep> steps = {
        {"first drawing", nothing, 6},
        {"unchanged", nothing, 1},
        {"append to a middle curve", [](TGraphM &g) { AppendTo(g, 2); }, 6},
        {"append to the middle curve twice", [](TGraphM &g) {
             AppendTo(g, 2);
             (void)g.DrawToBitmap();
             AppendTo(g, 2);
         }, 4},
        {"colour of the first curve", [](TGraphM &g) { g.Curves()->Items(0)->SetColor(Qt::darkYellow); }, 6},
        {"width of a curve", [](TGraphM &g) { g.Curves()->Items(3)->SetThickLine(2); }, -1},
        {"marks on a curve", [](TGraphM &g) { g.Curves()->Items(1)->SetDetails(true); }, -1},
        {"marks on every curve", [](TGraphM &g) { g.SetDetails(true); }, -1},
        {"marks off again", [](TGraphM &g) { g.SetDetails(false); }, -1},
        {"hide a curve", [](TGraphM &g) { g.Curves()->Items(1)->SetVisible(false); }, -1},
        {"show it again", [](TGraphM &g) { g.Curves()->Items(1)->SetVisible(true); }, -1},
        {"move a curve to the right axis", [](TGraphM &g) { g.Curves()->Items(2)->SetAxis(axRight); }, -1},
        {"points given as X and Y arrays", [](TGraphM &g) {
             const double x[] = {81, 83}, y[] = {1, 3};
             g.Curves()->Items(0)->AddPoints(x, y);
         }, -1},
        {"points given as a list", [](TGraphM &g) {
             g.Curves()->Items(0)->AddPoints(std::vector<TGraphPoint>{{85, 2}, {87, 0.5}});
         }, -1},
        {"sort a curve that the layer holds", [](TGraphM &g) {
             g.Curves()->Items(3)->AddPoint(1, 7);
             (void)g.DrawToBitmap();
             AppendTo(g, 5);
             (void)g.DrawToBitmap();
             g.Curves()->Items(3)->Sort();
         }, -1},
        {"clear a curve", [](TGraphM &g) { g.Curves()->Items(1)->ClearPoints(); }, -1},
        {"add a marker", [](TGraphM &g) { g.AddMarker(60, 1); }, -1},
        {"a point that widens the full ranges", [](TGraphM &g) { g.Curves()->Items(4)->AddPoint(130, 6); }, -1},
        {"zoom X", [](TGraphM &g) { g.SetScaleX(200); }, -1},
        {"zoom Y", [](TGraphM &g) { g.SetScaleY(300); }, -1},
        {"pan X", [](TGraphM &g) {
             g.scMinX += 5;
             g.scMaxX += 5;
         }, -1},
        {"right full range while zoomed", [](TGraphM &g) { g.SetMaxYRValue(10); }, -1},
        {"fit Y", [](TGraphM &g) { g.SetAutoScaleY(); }, -1},
        {"zoom back", [](TGraphM &g) { g.SetScaleXY(100); }, -1},
        {"vertical grid off", [](TGraphM &g) { g.SetGridX(false); }, -1},
        {"horizontal grid off", [](TGraphM &g) { g.SetGridY(false); }, -1},
        {"grid colour", [](TGraphM &g) {
             g.SetGridX(true);
             (void)g.DrawToBitmap();
             g.SetColorGrid(Qt::red);
         }, -1},
        {"zoom text off", [](TGraphM &g) { g.SetShowTextScale(false); }, -1},
        {"label precision", [](TGraphM &g) { g.SetPrecision(3); }, -1},
        {"background colour", [](TGraphM &g) { g.SetColor(Qt::white); }, -1},
        {"axis colour", [](TGraphM &g) { g.SetColorAxis(Qt::blue); }, -1},
        {"hide every right curve", [](TGraphM &g) {
             for (int i : {1, 2, 3, 5})
                 g.Curves()->Items(i)->SetVisible(false);
         }, -1},
        {"resize", [](TGraphM &g) { g.resize(360, 260); }, -1},
        {"add a curve", [](TGraphM &g) {
             TCurve *c = g.Curves()->Add();
             c->SetThickLine(3);
             c->AddPoints(std::vector<TGraphPoint>{{5, 1}, {50, 3}, {95, 0.5}});
         }, -1},
        {"delete a middle curve", [](TGraphM &g) { g.Curves()->Delete(2); }, -1},
        {"a point that is not a number",
         [](TGraphM &g) { g.Curves()->Items(0)->AddPoint(std::numeric_limits<double>::quiet_NaN(), 1); }, -1},
        {"delete every curve", [](TGraphM &g) { g.Curves()->Clear(); }, -1},
    };
    const auto check = [&](const QString &name, int curvesDrawn) {
        const quint64 before = cached->CurvesDrawn();
        const QImage a = cached->DrawToBitmap();
        const QImage b = fresh->DrawToBitmap();
        QVERIFY2(a == b, qPrintable(name));
        if (curvesDrawn >= 0)
            QVERIFY2(cached->CurvesDrawn() - before == quint64(curvesDrawn),
                     qPrintable(QString("%1: %2 curves drawn").arg(name).arg(cached->CurvesDrawn() - before)));
        // What the interaction reads must not depend on the cache either.
        QVERIFY2(cached->GetMargX() == fresh->GetMargX() && cached->GetLenX() == fresh->GetLenX()
                     && cached->GetLenY() == fresh->GetLenY() && cached->GetVpDX() == fresh->GetVpDX()
                     && cached->GetRTextYr() == fresh->GetRTextYr(),
                 qPrintable(name));
    };
    for (const TStep &step : steps) {
        step.Change(*cached);
        step.Change(*fresh);
        check(step.Name, step.CurvesDrawn);
        // After every change a live sweep goes on: only the newest curve is
        // drawn again, over a layer that now holds the others.
        if (cached->Curves()->Count() == 0)
            continue;
        appendLast(*cached);
        appendLast(*fresh);
        check(QString("append to the last curve after: ") + step.Name, -1);
        appendLast(*cached);
        appendLast(*fresh);
        const TCurve *last = cached->Curves()->Items(cached->Curves()->Count() - 1);
        check(QString("append to the last curve twice after: ") + step.Name,
              last->Visible() && last->Count() >= 2 ? 1 : 0);
    }
}

// The picture handed out is the caller's: neither changing it nor a later
// drawing affects the other.
void TestGraphLayers::picturesAreIndependent()
{
    auto g = MakeGraph(300, 200);
    SetUp(*g);
    (void)g->DrawToBitmap();
    QImage first = g->DrawToBitmap();
    const QImage firstCopy = first.copy();
    first.fill(Qt::black);
    const QImage second = g->DrawToBitmap();
    QCOMPARE(second, firstCopy);

    const QImage held = g->DrawToBitmap();
    AppendTo(*g, 5);
    const QImage third = g->DrawToBitmap();
    QCOMPARE(held, firstCopy);
    QVERIFY(third != held);
}

QTEST_MAIN(TestGraphLayers)
#include "tst_graphlayers.moc"
