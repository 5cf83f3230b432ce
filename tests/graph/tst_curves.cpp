#include "ErrorOf.h"
#include "GraphFixture.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <stdexcept>

using TBounds = std::array<double, 4>;  // minX, maxX, minY, maxY
Q_DECLARE_METATYPE(std::vector<TGraphPoint>)
Q_DECLARE_METATYPE(TBounds)

namespace {

using CurveOp = std::function<void(TCurves &, TCurve &)>;

const std::map<QString, CurveOp> &CurveOps()
{
    static const std::map<QString, CurveOp> ops{
        {"AddPoint", [](TCurves &, TCurve &c) { c.AddPoint(4, 4); }},
        {"AddPoints arrays", [](TCurves &, TCurve &c) { c.AddPoints(std::vector{1.0, 2.0}, std::vector{3.0, 4.0}); }},
        {"AddPoints empty arrays", [](TCurves &, TCurve &c) { c.AddPoints(std::vector<double>{}, std::vector<double>{}); }},
        {"AddPoints points", [](TCurves &, TCurve &c) { c.AddPoints(std::vector<TGraphPoint>{{1, 2}, {3, 4}}); }},
        {"AddPoints mismatched", [](TCurves &, TCurve &c) {
             try { c.AddPoints(std::vector{1.0, 2.0, 3.0}, std::vector{1.0, 2.0}); } catch (const std::runtime_error &) {}
         }},
        {"ClearPoints", [](TCurves &, TCurve &c) { c.ClearPoints(); }},
        {"Color changed", [](TCurves &, TCurve &c) { c.SetColor(Qt::blue); }},
        {"Color same", [](TCurves &, TCurve &c) { c.SetColor(Qt::black); }},
        {"ThickLine changed", [](TCurves &, TCurve &c) { c.SetThickLine(3); }},
        {"ThickLine same", [](TCurves &, TCurve &c) { c.SetThickLine(1); }},
        {"Details changed", [](TCurves &, TCurve &c) { c.SetDetails(true); }},
        {"Caption", [](TCurves &, TCurve &c) { c.SetCaption("1"); }},
        {"Visible", [](TCurves &, TCurve &c) { c.SetVisible(false); }},
        {"Axis", [](TCurves &, TCurve &c) { c.SetAxis(axRight); }},
        {"Sort", [](TCurves &, TCurve &c) { c.Sort(); }},
        {"curve bracket", [](TCurves &, TCurve &c) {
             c.BeginUpdate(); c.AddPoint(1, 1); c.BeginUpdate(); c.AddPoint(2, 2); c.EndUpdate(); c.ClearPoints(); c.EndUpdate();
         }},
        {"unbalanced EndUpdate", [](TCurves &, TCurve &c) { c.EndUpdate(); }},
        {"Add curve", [](TCurves &cs, TCurve &) { cs.Add(); }},
        {"Delete curve", [](TCurves &cs, TCurve &) { cs.Delete(0); }},
        {"Clear curves", [](TCurves &cs, TCurve &) { cs.Add(); cs.Clear(); }},
        {"collection bracket", [](TCurves &cs, TCurve &) { cs.BeginUpdate(); cs.BeginUpdate(); cs.EndUpdate(); cs.EndUpdate(); }},
        {"collection bracket passes changes", [](TCurves &cs, TCurve &c) { cs.BeginUpdate(); c.AddPoint(1, 1); cs.EndUpdate(); }},
    };
    return ops;
}

} // namespace

class TestCurves : public QObject {
    Q_OBJECT

private slots:
    void newCurveDefaults();
    void repaintRequests_data();
    void repaintRequests();
    void changeStamp_data();
    void changeStamp();
    void stampsNeverRepeat();
    void addPointsLengthMismatchChangesNothing();
    void pointsOutOfRange_data();
    void pointsOutOfRange();
    void getMinMax();
    void getMinMaxSkipsNonFiniteValues_data();
    void getMinMaxSkipsNonFiniteValues();
    void sortExample();
    void sortLargeInputs_data();
    void sortLargeInputs();
    void assignCopiesLookOnly();
    void collectionIndexErrors();
    void graphCurvesSetterCopies();
};

void TestCurves::newCurveDefaults()
{
    TGraphM g;
    const TCurve *c = g.Curves()->Add();
    QVERIFY(c->Visible());
    QCOMPARE(c->Color(), QColor(Qt::black));
    QCOMPARE(c->ThickLine(), 1);
    QCOMPARE(c->Axis(), axLeft);
    QVERIFY(c->Caption().isEmpty());
    QVERIFY(!c->Details());
    QCOMPARE(c->Count(), 0);
    QCOMPARE(c->Index(), 0);
    QCOMPARE(g.Curves()->Add()->Index(), 1);
}

void TestCurves::repaintRequests_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("requests");
    const std::map<QString, int> expected{
        {"AddPoint", 1}, {"AddPoints arrays", 1}, {"AddPoints empty arrays", 1},
        {"AddPoints points", 1}, {"AddPoints mismatched", 0}, {"ClearPoints", 1},
        {"Color changed", 1}, {"Color same", 0}, {"ThickLine changed", 1}, {"ThickLine same", 0},
        {"Details changed", 1}, {"Caption", 0}, {"Visible", 0}, {"Axis", 0}, {"Sort", 0},
        {"curve bracket", 1}, {"unbalanced EndUpdate", 0}, {"Add curve", 1}, {"Delete curve", 1},
        {"Clear curves", 2}, {"collection bracket", 1}, {"collection bracket passes changes", 2},
    };
    QCOMPARE(expected.size(), CurveOps().size());
    for (const auto &[op, n] : expected)
        QTest::newRow(qPrintable(op)) << op << n;
}

void TestCurves::repaintRequests()
{
    QFETCH(QString, op);
    QFETCH(int, requests);
    TGraphM g;
    TCurve *c = AddCurve(g, {{3, 1}, {1, 2}}, Qt::black);
    const quint64 before = g.RepaintRequests();
    CurveOps().at(op)(*g.Curves(), *c);
    QCOMPARE(int(g.RepaintRequests() - before), requests);
}

void TestCurves::changeStamp_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<bool>("changes");
    // Everything the drawing of the curve uses moves the stamp; nothing else
    // does (operations on the collection are left out: they may delete c).
    const std::map<QString, bool> expected{
        {"AddPoint", true}, {"AddPoints arrays", true}, {"AddPoints empty arrays", false},
        {"AddPoints points", true}, {"AddPoints mismatched", false}, {"ClearPoints", true},
        {"Color changed", true}, {"Color same", false}, {"ThickLine changed", true},
        {"ThickLine same", false}, {"Details changed", true}, {"Caption", false},
        {"Visible", true}, {"Axis", true}, {"Sort", true}, {"curve bracket", true},
        {"unbalanced EndUpdate", false},
    };
    for (const auto &[op, changes] : expected)
        QTest::newRow(qPrintable(op)) << op << changes;
}

void TestCurves::changeStamp()
{
    QFETCH(QString, op);
    QFETCH(bool, changes);
    TGraphM g;
    TCurve *c = AddCurve(g, {{3, 1}, {1, 2}}, Qt::black);
    const quint64 before = c->ChangeStamp();
    CurveOps().at(op)(*g.Curves(), *c);
    QCOMPARE(c->ChangeStamp() != before, changes);
}

// The drawing takes an equal stamp for an unchanged curve, so a curve made
// in place of a deleted one must not get its stamp back.
void TestCurves::stampsNeverRepeat()
{
    TGraphM g;
    QSet<quint64> seen;
    for (int i = 0; i < 20; ++i) {
        TCurve *c = g.Curves()->Add();
        QVERIFY(!seen.contains(c->ChangeStamp()));
        seen.insert(c->ChangeStamp());
        c->AddPoint(i, i);
        QVERIFY(!seen.contains(c->ChangeStamp()));
        seen.insert(c->ChangeStamp());
        g.Curves()->Delete(0);
    }
}

void TestCurves::addPointsLengthMismatchChangesNothing()
{
    TGraphM g;
    TCurve *c = AddCurve(g, {{1, 5}, {3, 2}});
    QCOMPARE(ErrorOf([&] { c->AddPoints(std::vector{1.0, 2.0, 3.0}, std::vector{1.0, 2.0}); }),
             QString("X and Y arrays have different lengths"));
    QCOMPARE(c->Count(), 2);
    QCOMPARE(c->Points(1), (TGraphPoint{3, 2}));
}

void TestCurves::pointsOutOfRange_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::newRow("-1") << -1 << 0.0 << 0.0;
    QTest::newRow("first") << 0 << 1.0 << 5.0;
    QTest::newRow("last") << 1 << 3.0 << 2.0;
    QTest::newRow("Count") << 2 << 0.0 << 0.0;
}

void TestCurves::pointsOutOfRange()
{
    QFETCH(int, index);
    QFETCH(double, x);
    QFETCH(double, y);
    TGraphM g;
    const TCurve *c = AddCurve(g, {{1, 5}, {3, 2}});
    QCOMPARE(c->Points(index), (TGraphPoint{x, y}));
    double gx = 99, gy = 99;
    c->GetPoint(index, gx, gy);
    QCOMPARE(gx, x);
    QCOMPARE(gy, y);
}

void TestCurves::getMinMax()
{
    TGraphM g;
    TCurve *c = g.Curves()->Add();
    double minX = -7, maxX = 7, minY = -8, maxY = 8;
    c->GetMinMax(minX, maxX, minY, maxY);
    QCOMPARE((std::array{minX, maxX, minY, maxY}), (std::array{-7.0, 7.0, -8.0, 8.0}));

    // X and Y bounds come from different points.
    c->AddPoints(std::vector<TGraphPoint>{{1, 5}, {3, 2}, {2, 3}});
    c->GetMinMax(minX, maxX, minY, maxY);
    QCOMPARE((std::array{minX, maxX, minY, maxY}), (std::array{1.0, 3.0, 2.0, 5.0}));
}

void TestCurves::getMinMaxSkipsNonFiniteValues_data()
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<std::vector<TGraphPoint>>("points");
    QTest::addColumn<TBounds>("bounds");
    QTest::newRow("first point NaN") << std::vector<TGraphPoint>{{nan, nan}, {1, 5}, {3, 2}}
                                     << TBounds{1.0, 3.0, 2.0, 5.0};
    QTest::newRow("first X infinite, Y NaN") << std::vector<TGraphPoint>{{inf, nan}, {2, 4}, {1, 6}}
                                             << TBounds{1.0, 2.0, 4.0, 6.0};
    QTest::newRow("infinities later") << std::vector<TGraphPoint>{{1, 5}, {-inf, inf}, {3, -inf}, {2, 2}}
                                      << TBounds{1.0, 3.0, 2.0, 5.0};
    // No finite Y at all: no Y bounds, and no stale or made-up ones either.
    QTest::newRow("no finite Y") << std::vector<TGraphPoint>{{2, nan}, {1, inf}}
                                 << TBounds{1.0, 2.0, nan, nan};
}

void TestCurves::getMinMaxSkipsNonFiniteValues()
{
    QFETCH(std::vector<TGraphPoint>, points);
    QFETCH(TBounds, bounds);
    TGraphM g;
    TCurve *c = g.Curves()->Add();
    c->AddPoints(points);
    TBounds got{-7, 7, -8, 8};
    c->GetMinMax(got[0], got[1], got[2], got[3]);
    for (size_t i = 0; i < got.size(); ++i)
        QCOMPARE(got[i], bounds[i]);  // Qt Test takes two NaNs as equal
}

void TestCurves::sortExample()
{
    TGraphM g;
    TCurve *c = AddCurve(g, {{3, 30}, {1, 10}, {2, 20}});
    c->Sort();
    QCOMPARE(c->Points(0), (TGraphPoint{1, 10}));
    QCOMPARE(c->Points(1), (TGraphPoint{2, 20}));
    QCOMPARE(c->Points(2), (TGraphPoint{3, 30}));

    TCurve *single = AddCurve(g, {{5, 1}});
    single->Sort();
    QCOMPARE(single->Points(0), (TGraphPoint{5, 1}));
    TCurve *empty = g.Curves()->Add();
    empty->Sort();
    QCOMPARE(empty->Count(), 0);
}

void TestCurves::sortLargeInputs_data()
{
    QTest::addColumn<QString>("shape");
    QTest::newRow("random") << "random";
    QTest::newRow("many equal X") << "equal";
    QTest::newRow("descending") << "descending";
    QTest::newRow("ascending") << "ascending";
}

void TestCurves::sortLargeInputs()
{
    QFETCH(QString, shape);
    std::mt19937 rng(7);
    std::vector<TGraphPoint> pts;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        double x = i;
        if (shape == "random")
            x = std::uniform_real_distribution<double>(-1e6, 1e6)(rng);
        else if (shape == "equal")
            x = double(rng() % 5);
        else if (shape == "descending")
            x = n - i;
        pts.push_back({x, double(i)});
    }
    TGraphM g;
    TCurve *c = g.Curves()->Add();
    c->AddPoints(pts);
    c->Sort();

    std::vector<TGraphPoint> sorted(c->PointSpan().begin(), c->PointSpan().end());
    QVERIFY(std::is_sorted(sorted.begin(), sorted.end(),
                           [](const TGraphPoint &a, const TGraphPoint &b) { return a.X < b.X; }));
    // Same points as before: each Y still travels with its X.
    const auto byXY = [](const TGraphPoint &a, const TGraphPoint &b) {
        return a.X < b.X || (a.X == b.X && a.Y < b.Y);
    };
    std::sort(sorted.begin(), sorted.end(), byXY);
    std::sort(pts.begin(), pts.end(), byXY);
    QVERIFY(sorted == pts);
}

void TestCurves::assignCopiesLookOnly()
{
    TGraphM g;
    TCurve *src = AddCurve(g, {{1, 1}, {2, 2}}, QColor(10, 20, 30), 3);
    src->SetDetails(true);
    src->SetCaption("7");
    src->SetAxis(axRight);
    src->SetVisible(false);
    TCurve *dst = AddCurve(g, {{5, 5}});

    const quint64 before = g.RepaintRequests();
    g.Curves()->SetItems(1, src);
    QCOMPARE(int(g.RepaintRequests() - before), 3); // colour, width, details
    QCOMPARE(dst->Color(), QColor(10, 20, 30));
    QCOMPARE(dst->ThickLine(), 3);
    QVERIFY(dst->Details());
    QCOMPARE(dst->Caption(), QString("7"));
    QVERIFY(dst->Visible());
    QCOMPARE(dst->Axis(), axLeft);
    QCOMPARE(dst->Count(), 1);

    QCOMPARE(ErrorOf([&] { dst->Assign(nullptr); }), QString("Cannot assign a nil to a TCurve"));
    QCOMPARE(dst->Color(), QColor(10, 20, 30));
}

void TestCurves::collectionIndexErrors()
{
    TGraphM g;
    TCurves &cs = *g.Curves();
    AddCurve(g, {{1, 1}});
    TCurve *second = AddCurve(g, {{2, 2}});
    AddCurve(g, {{3, 3}});
    for (int bad : {-1, 3}) {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, cs.Items(bad));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, cs.Delete(bad));
    }
    QCOMPARE(ErrorOf([&] { cs.Delete(3); }), QString("Argument out of range"));
    QCOMPARE(cs.Count(), 3);

    cs.Delete(0);
    QCOMPARE(cs.Count(), 2);
    QCOMPARE(cs.Items(0), second);
    QCOMPARE(second->Index(), 0);
    cs.Clear();
    QCOMPARE(cs.Count(), 0);
}

void TestCurves::graphCurvesSetterCopies()
{
    TCurves source;
    TCurve *a = source.Add();
    a->SetColor(Qt::green);
    a->SetCaption("a");
    a->AddPoint(1, 1);
    source.Add()->SetThickLine(4);

    TGraphM g;
    AddCurve(g, {{1, 1}});
    g.SetCurves(source);
    QCOMPARE(g.Curves()->Count(), 2);
    QCOMPARE(g.Curves()->Items(0)->Color(), QColor(Qt::green));
    QCOMPARE(g.Curves()->Items(0)->Caption(), QString("a"));
    QCOMPARE(g.Curves()->Items(0)->Count(), 0);
    QCOMPARE(g.Curves()->Items(1)->ThickLine(), 4);
    QVERIFY(g.Curves()->Items(0) != a);
}

QTEST_MAIN(TestCurves)
#include "tst_curves.moc"
