#include "AxisTicks.h"
#include "GraphFixture.h"

#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <map>
#include <thread>

namespace {

const QColor kLime(0, 255, 0);

bool Is(const QImage &img, QPoint p, const QColor &c)
{
    return img.rect().contains(p) && img.pixel(p) == c.rgb();
}

int CountDark(const QImage &img, const QRect &area)
{
    int n = 0;
    const QRect r = area & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(img.pixel(x, y)) < 128;
    return n;
}

int CountColour(const QImage &img, const QRect &area, const QColor &c)
{
    int n = 0;
    const QRect r = area & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += img.pixel(x, y) == c.rgb();
    return n;
}

// The smallest rectangle holding the pixels of area that pass the test.
QRect Bounds(const QImage &img, const QRect &area, const std::function<bool(QRgb)> &test)
{
    QRect bounds;
    const QRect r = area & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (test(img.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QRect ColourBounds(const QImage &img, const QRect &area, const QColor &c)
{
    return Bounds(img, area, [&c](QRgb p) { return p == c.rgb(); });
}

QRect DarkBounds(const QImage &img, const QRect &area)
{
    return Bounds(img, area, [](QRgb p) { return qGray(p) < 128; });
}

// Rows 8 .. H - MargY - 1 between the top and bottom frame lines.
QRect PlotInterior(const TGraphM &g)
{
    const int axisY = g.height() - g.GetMargY();
    return QRect(QPoint(g.GetMargX() + 1, axisY - g.GetLenY() + 1), QPoint(g.GetMargX() + g.GetLenX() - 1, axisY - 1));
}

class CountingGraph : public TGraphM {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *e) override
    {
        ++paints;
        TGraphM::paintEvent(e);
    }
};

} // namespace

class TestGraphDraw : public QObject {
    Q_OBJECT

private slots:
    void curvesLandOnTheMapping();
    void curveEndPixel_data();
    void curveEndPixel();
    void ticksAndLabelsWhereTheAlgorithmSays();
    void gridAtTicks_data();
    void gridAtTicks();
    void markersAndTheirTexts();
    void clipKeepsCurvesOffRightFrame();
    void clipRectangleEdges();
    void nothingDrawn_data();
    void nothingDrawn();
    void pointMarks_data();
    void pointMarks();
    void zoomText_data();
    void zoomText();
    void emptyWindowsDrawFallbackLines();
    void focusFrameOnlyWithFocus();
    void rightAxisOnlyWithVisibleRightCurve();
    void repaintRequestsCoalesce();
    void repaintsAtMostOncePerFrame();
    void writersWaitForThePaint_data();
    void writersWaitForThePaint();
    void paintWaitsForLockHolder();
};

void TestGraphDraw::curvesLandOnTheMapping()
{
    auto g = MakeGraph();
    AddCurve(*g, {{10, 2}, {90, 2}});
    AddCurve(*g, {{10, 6}, {90, 6}}, Qt::blue, 1, axRight); // the row of left value 3
    AddCurve(*g, {{0, 0.5}, {100, 1.5}}, Qt::darkGreen); // crosses neither row
    const QImage img = g->DrawToBitmap();
    QCOMPARE(img.size(), g->size());
    QCOMPARE(img.format(), QImage::Format_RGB32);

    for (double x : {15.0, 50.0, 85.0}) {
        const QPoint red = g->GraphPointToPoint({x, 2});
        QVERIFY(Is(img, red, Qt::red));
        QVERIFY(!Is(img, red + QPoint(0, 2), Qt::red));
        QVERIFY(!Is(img, red - QPoint(0, 2), Qt::red));
        QVERIFY(Is(img, g->GraphPointToPoint({x, 3}), Qt::blue));
        const QPoint diag = g->GraphPointToPoint({x, 0.5 + x / 100});
        QVERIFY(Is(img, diag, Qt::darkGreen) || Is(img, diag + QPoint(0, 1), Qt::darkGreen) ||
                Is(img, diag - QPoint(0, 1), Qt::darkGreen));
    }
    QVERIFY(!Is(img, g->GraphPointToPoint({5, 2}), Qt::red));
    QVERIFY(!Is(img, g->GraphPointToPoint({95, 2}), Qt::red));
}

void TestGraphDraw::curveEndPixel_data()
{
    QTest::addColumn<int>("thick");
    QTest::addColumn<bool>("endDrawn");
    // A one-pixel line leaves out its end pixel; a wide pen ends in a round cap.
    QTest::newRow("1 pixel") << 1 << false;
    QTest::newRow("width 0 counts as 1") << 0 << false;
    QTest::newRow("width 3") << 3 << true;
}

void TestGraphDraw::curveEndPixel()
{
    QFETCH(int, thick);
    QFETCH(bool, endDrawn);
    auto g = MakeGraph();
    // Ends on a point met twice: only the last segment's end is left out.
    AddCurve(*g, {{10, 2}, {30, 2}, {50, 2}, {50, 1}, {50, 1}}, Qt::red, thick);
    AddCurve(*g, {{20, 3}, {60, 3}, {60, 3}}, Qt::blue, thick);
    const QImage img = g->DrawToBitmap();
    const QPoint start = g->GraphPointToPoint({10, 2});
    const QPoint end = g->GraphPointToPoint({50, 1});
    QVERIFY(Is(img, start, Qt::red));
    QVERIFY(Is(img, g->GraphPointToPoint({50, 2}), Qt::red));
    QVERIFY(Is(img, end - QPoint(0, 1), Qt::red));
    QCOMPARE(Is(img, end, Qt::red), endDrawn);
    QVERIFY(Is(img, g->GraphPointToPoint({60, 3}) - QPoint(1, 0), Qt::blue));
    QCOMPARE(Is(img, g->GraphPointToPoint({60, 3}), Qt::blue), endDrawn);
}

// Tick marks on exactly the pixels the tick algorithm gives, and every label
// pixel inside its label box.
void TestGraphDraw::ticksAndLabelsWhereTheAlgorithmSays()
{
    auto g = MakeGraph(420, 300);
    g->SetMinYValue(-7.3);
    g->SetMaxYValue(4.7);
    AddCurve(*g, {{10, 1}, {40, 2}});
    AddCurve(*g, {{10, 2}, {40, 5}}, Qt::blue, 1, axRight);
    const QImage img = g->DrawToBitmap();
    const QColor white(Qt::white);
    const int H = g->height(), axisY = H - g->GetMargY();
    const int margX = g->GetMargX(), edge = margX + g->GetLenX();
    const TAxisTicks left = ComputeAxisTicks(g->scMinY, g->scMaxY, g->GetVpDY(), 14);
    const TAxisTicks right = ComputeAxisTicks(g->scMinYr, g->scMaxYr, g->GetVpDYr(), 14);
    const TAxisTicks bottom =
        ComputeAxisTicks(g->scMinX, g->scMaxX, g->GetVpDX(), g->GetRTextX().width() + 2);
    QVERIFY(left.Ticks.size() >= 5 && right.Ticks.size() >= 5 && bottom.Ticks.size() >= 3);

    const auto rowsInColumn = [&](int x) {
        QList<int> rows;
        for (int y = 0; y < H; ++y)
            if (Is(img, {x, y}, Qt::black))
                rows << y;
        return rows;
    };
    const auto expectedRows = [&](const TAxisTicks &t) {
        QList<int> rows;
        for (const TAxisTick &tick : t.Ticks)
            rows.prepend(axisY - tick.Pos);
        return rows;
    };
    // Left marks run from the frame 4 pixels outwards, right ones inwards.
    for (int d : {1, 3})
        QCOMPARE(rowsInColumn(margX - d), expectedRows(left));
    QCOMPARE(rowsInColumn(margX - 4), QList<int>());
    for (int d : {1, 3})
        QCOMPARE(rowsInColumn(edge - d), expectedRows(right));
    QCOMPARE(rowsInColumn(edge - 4), (QList<int>{axisY - g->GetLenY(), axisY})); // the frame
    // X marks below the axis line, 4 pixels long.
    for (int dy : {1, 3}) {
        QList<int> columns, expected;
        for (int x = 0; x < g->width(); ++x)
            if (Is(img, {x, axisY + dy}, Qt::black))
                columns << x;
        for (const TAxisTick &tick : bottom.Ticks)
            expected << margX + tick.Pos;
        QCOMPARE(columns, expected);
    }
    QVERIFY(!Is(img, {margX + bottom.Ticks[1].Pos, axisY + 4}, Qt::black));

    // Label boxes: left ones end 6 pixels left of the frame, right ones 6
    // pixels left of the right frame, X ones are centred under their tick.
    QList<QRect> boxes;
    const QRect ly = g->GetRTextY(), ry = g->GetRTextYr(), rx = g->GetRTextX();
    for (const TAxisTick &t : left.Ticks)
        boxes << QRect(QPoint(margX - 6 - ly.width(), axisY - t.Pos - ly.height() / 2),
                       QPoint(margX - 7, axisY - t.Pos + ly.height() / 2 - 1));
    for (const TAxisTick &t : right.Ticks)
        boxes << QRect(QPoint(edge - 6 - ry.width(), axisY - t.Pos - ry.height() / 2),
                       QPoint(edge - 7, axisY - t.Pos + ry.height() / 2 - 1));
    for (const TAxisTick &t : bottom.Ticks)
        boxes << QRect(QPoint(margX + t.Pos - rx.width() / 2, axisY + 8),
                       QPoint(margX + t.Pos + rx.width() / 2 - 1, axisY + 7 + rx.height()));
    const auto inBox = [&](QPoint p) {
        return std::any_of(boxes.begin(), boxes.end(), [p](const QRect &b) { return b.contains(p); });
    };
    // Text pixels in the margins and in the strip of the right labels (the
    // top frame line crosses that).
    const QRect strip(QPoint(edge - 6 - ry.width(), 0), QPoint(edge - 5, axisY - 1));
    const int top = axisY - g->GetLenY();
    int ink = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < g->width(); ++x) {
            const QPoint p(x, y);
            const bool margin = x < margX - 5 || y > axisY + 4;
            if ((margin || (strip.contains(p) && y != top)) && !Is(img, p, white) && !Is(img, p, Qt::red) &&
                !Is(img, p, Qt::blue)) {
                ++ink;
                QVERIFY2(inBox(p), qPrintable(QString("(%1, %2)").arg(x).arg(y)));
            }
        }
    QVERIFY(ink > 100);
    for (const QRect &b : boxes)
        QVERIFY(CountDark(img, b) > 0);
}

void TestGraphDraw::gridAtTicks_data()
{
    QTest::addColumn<bool>("xAxis");
    QTest::newRow("X grid") << true;
    QTest::newRow("Y grid") << false;
}

void TestGraphDraw::gridAtTicks()
{
    QFETCH(bool, xAxis);
    auto g = MakeGraph();
    xAxis ? g->SetGridX(true) : g->SetGridY(true);
    const QImage img = g->DrawToBitmap();
    const QColor grid = g->ColorGrid();
    const QRect inner = PlotInterior(*g);
    const TAxisTicks ticks = xAxis ? ComputeAxisTicks(g->scMinX, g->scMaxX, g->GetVpDX(), g->GetRTextX().width() + 2)
                                   : ComputeAxisTicks(g->scMinY, g->scMaxY, g->GetVpDY(), 14);
    QVERIFY(ticks.Ticks.size() >= 3);

    // The grid lines of neighbouring ticks, and nothing half-way between them.
    const auto line = [&](double value, int widen) {
        const QPoint p = g->GraphPointToPoint({value, value});
        return xAxis ? QRect(p.x() - widen, inner.top(), 2 * widen + 1, inner.height())
                     : QRect(inner.left(), p.y() - widen, inner.width(), 2 * widen + 1);
    };
    const int length = xAxis ? inner.height() : inner.width();
    int checked = 0;
    for (size_t i = 0; i + 1 < ticks.Ticks.size(); ++i) {
        const QRect at = line(ticks.Ticks[i].Value, 1);
        if (!inner.contains(at.center()))
            continue; // on the frame
        QVERIFY2(CountColour(img, at, grid) >= length / 3, qPrintable(ticks.Ticks[i].Label));
        const double between = (ticks.Ticks[i].Value + ticks.Ticks[i + 1].Value) / 2;
        QCOMPARE(CountColour(img, line(between, 1), grid), 0);
        ++checked;
    }
    QVERIFY(checked >= 2);
}

void TestGraphDraw::markersAndTheirTexts()
{
    auto g = MakeGraph();
    AddCurve(*g, {{0, 0}, {100, 0}});
    g->AddMarker(50, 2);
    g->AddMarker(20, 1);
    g->AddMarker(150, 2); // outside the window: not shown
    QStringList calls;
    g->OnMarkerGetText = [&](TGraphM *sender, int index, QString &text) {
        QCOMPARE(sender, g.get());
        calls << QString("%1:%2").arg(index).arg(text);
        if (index == 0)
            text = "M1";
    };
    QImage img = g->DrawToBitmap();
    QCOMPARE(calls, (QStringList{"0:", "1:", "2:"}));

    const QPoint c = g->GraphPointToPoint({50, 2});
    for (QPoint d : {QPoint(0, 0), QPoint(-3, -3), QPoint(2, 2), QPoint(2, -3)})
        QVERIFY(Is(img, c + d, kLime));
    for (QPoint d : {QPoint(-4, -4), QPoint(3, 3), QPoint(3, -4), QPoint(-4, 3)})
        QVERIFY(Is(img, c + d, Qt::black));
    QVERIFY(Is(img, c + QPoint(4, 4), Qt::white));
    QCOMPARE(CountColour(img, img.rect(), kLime), 2 * 36);

    const QRect text0(c + QPoint(5, -5), QSize(30, 12));
    QVERIFY(CountDark(img, text0) > 5);
    // The text's top-left corner is 5 pixels right of and above the marker.
    const QRect textInk = DarkBounds(img, QRect(c + QPoint(4, -12), QSize(40, 30)));
    QVERIFY(textInk.left() >= c.x() + 5 && textInk.left() <= c.x() + 7);
    QVERIFY(textInk.top() >= c.y() - 5 && textInk.top() <= c.y() + 1);
    // On a black graph the text's white box shows its corner exactly.
    g->SetColor(Qt::black);
    const QImage onBlack = g->DrawToBitmap();
    QVERIFY(Is(onBlack, c + QPoint(5, -5), Qt::white));
    QVERIFY(Is(onBlack, c + QPoint(4, -5), Qt::black));
    QVERIFY(Is(onBlack, c + QPoint(5, -6), Qt::black));
    g->SetColor(Qt::white);
    const QPoint c1 = g->GraphPointToPoint({20, 1});
    QCOMPARE(CountDark(img, QRect(c1 + QPoint(5, -5), QSize(30, 12))), 0);

    g->OnMarkerGetText = nullptr;
    img = g->DrawToBitmap();
    QCOMPARE(CountDark(img, text0), 0);
    g->ClearMarkers();
    QCOMPARE(CountColour(g->DrawToBitmap(), g->rect(), kLime), 0);
}

void TestGraphDraw::clipKeepsCurvesOffRightFrame()
{
    auto g = MakeGraph();
    g->SetMinXValue(0);
    AddCurve(*g, {{0, 1}, {100, 1}}); // fixes the full range at 0..100
    g->DrawToBitmap();
    g->SetPHit({-1, 0});
    g->SetScaleX(200); // window 25..75
    TCurve *wide = AddCurve(*g, {{50, 2}, {150, 2}}, Qt::red, 3);
    AddCurve(*g, {{-50, 1}, {150, 3}}, Qt::darkGreen);
    Q_UNUSED(wide);
    const QImage img = g->DrawToBitmap();

    const int edge = g->GetMargX() + g->GetLenX();
    const int row = g->GraphPointToPoint({50, 2}).y();
    QVERIFY(Is(img, {edge, row}, g->ColorAxis()));
    QVERIFY(Is(img, {edge - 1, row}, Qt::red));
    QCOMPARE(CountColour(img, QRect(QPoint(edge, 0), QPoint(img.width() - 1, img.height() - 1)), Qt::red), 0);
    QCOMPARE(CountColour(img, QRect(QPoint(edge, 0), QPoint(img.width() - 1, img.height() - 1)), Qt::darkGreen), 0);

    // A segment whose ends both lie outside the window crosses the plot.
    const QPoint mid = g->GraphPointToPoint({50, 2});
    QVERIFY(CountColour(img, QRect(mid.x(), mid.y() - 2, 1, 5), Qt::darkGreen) > 0);
}

// Curves may cover the left, top and bottom frame lines and the row below
// the bottom one, and nothing further out.
void TestGraphDraw::clipRectangleEdges()
{
    auto g = MakeGraph();
    AddCurve(*g, {{50, -10}, {50, 10}}, Qt::red, 9);
    AddCurve(*g, {{-50, 2}, {150, 2}}, Qt::blue, 9);
    const QImage img = g->DrawToBitmap();
    const int axisY = g->height() - g->GetMargY(), margX = g->GetMargX();
    const int x = g->GraphPointToPoint({50, 2}).x(), y = g->GraphPointToPoint({50, 2}).y();
    QVERIFY(Is(img, {x, 8}, Qt::red));
    QVERIFY(Is(img, {x, axisY + 1}, Qt::red));
    QCOMPARE(CountColour(img, QRect(0, 0, img.width(), 8), Qt::red), 0);
    QCOMPARE(CountColour(img, QRect(0, axisY + 2, img.width(), img.height()), Qt::red), 0);
    QVERIFY(Is(img, {margX, y}, Qt::blue));
    QVERIFY(Is(img, {margX + g->GetLenX() - 1, y}, Qt::blue));
    QCOMPARE(CountColour(img, QRect(0, 0, margX, img.height()), Qt::blue), 0);
    QCOMPARE(CountColour(img, QRect(margX + g->GetLenX(), 0, img.width(), img.height()), Qt::blue), 0);
}

void TestGraphDraw::nothingDrawn_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("hidden curve") << "hidden";
    QTest::newRow("one-point curve") << "one point";
    QTest::newRow("only NaN points") << "nan";
}

void TestGraphDraw::nothingDrawn()
{
    QFETCH(QString, kind);
    auto g = MakeGraph();
    g->SetGridX(true);
    AddCurve(*g, {{10, 1}, {90, 3}});
    const QImage reference = g->DrawToBitmap();

    TCurve *extra = nullptr;
    if (kind == "hidden") {
        extra = AddCurve(*g, {{30, 3}, {70, 1}}, Qt::blue, 3);
        extra->SetVisible(false);
    } else if (kind == "one point") {
        extra = AddCurve(*g, {{30, 3}}, Qt::blue, 3);
        extra->SetDetails(true);
    } else {
        extra = AddCurve(*g, {{std::nan(""), 1}, {40, std::nan("")}}, Qt::blue, 3);
    }
    QCOMPARE(g->DrawToBitmap(), reference);
}

void TestGraphDraw::pointMarks_data()
{
    QTest::addColumn<int>("thick");
    QTest::addColumn<bool>("graphDetails");
    QTest::addColumn<int>("m1");
    QTest::addColumn<int>("m2");
    QTest::newRow("thin line: 5 x 5") << 1 << false << 2 << 3;
    QTest::newRow("thick 3: 3 x 3 on a 1-pixel line") << 3 << false << 1 << 2;
    QTest::newRow("graph-wide details") << 1 << true << 2 << 3;
}

void TestGraphDraw::pointMarks()
{
    QFETCH(int, thick);
    QFETCH(bool, graphDetails);
    QFETCH(int, m1);
    QFETCH(int, m2);
    auto g = MakeGraph();
    TCurve *c = AddCurve(*g, {{20, 2}, {50, 2}, {80, 2}}, Qt::red, thick);
    graphDetails ? g->SetDetails(true) : c->SetDetails(true);
    const QImage img = g->DrawToBitmap();

    const QPoint p = g->GraphPointToPoint({50, 2});
    QVERIFY(Is(img, p + QPoint(-m1, -m1), Qt::red));
    QVERIFY(Is(img, p + QPoint(m2 - 1, m2 - 1), Qt::red));
    QVERIFY(!Is(img, p + QPoint(-m1 - 1, -m1 - 1), Qt::red));
    QVERIFY(!Is(img, p + QPoint(m2, m2), Qt::red));
    // The pen is one pixel wide whenever marks are drawn.
    const QPoint between = g->GraphPointToPoint({35, 2});
    QVERIFY(Is(img, between, Qt::red));
    QVERIFY(!Is(img, between + QPoint(0, 1), Qt::red) && !Is(img, between - QPoint(0, 1), Qt::red));
    // The first point has no mark.
    const QPoint first = g->GraphPointToPoint({20, 2});
    QVERIFY(!Is(img, first + QPoint(0, -m1), Qt::red));
}

void TestGraphDraw::zoomText_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("text");
    QTest::newRow("on black: white") << QColor(Qt::black) << QColor(Qt::white);
    QTest::newRow("on white: light grey") << QColor(Qt::white) << QColor(220, 220, 220);
}

void TestGraphDraw::zoomText()
{
    QFETCH(QColor, background);
    QFETCH(QColor, text);
    auto g = MakeGraph();
    g->SetColor(background);
    const QRect topRight(g->width() - 160, 10, 160, 40);
    QCOMPARE(CountColour(g->DrawToBitmap(), topRight, text), 0);
    g->SetShowTextScale(true);
    const QImage img = g->DrawToBitmap();
    QVERIFY(CountColour(img, topRight, text) > 30);
    // Its top-left corner is 10 pixels down, its end 30 pixels from the right.
    const QRect ink = ColourBounds(img, img.rect(), text);
    QVERIFY2(ink.top() >= 10 && ink.top() <= 16, qPrintable(QString::number(ink.top())));
    QVERIFY2(ink.right() <= img.width() - 31 && ink.right() >= img.width() - 36,
             qPrintable(QString::number(ink.right())));
}

void TestGraphDraw::emptyWindowsDrawFallbackLines()
{
    auto g = MakeGraph();
    g->SetMaxXValue(0);
    g->SetMinYValue(4);
    g->SetMaxYValue(4);
    const QImage img = g->DrawToBitmap();
    const int H = img.height(), W = img.width();
    QCOMPARE(CountColour(img, QRect(QPoint(20, 3), QPoint(20, H - 20)), Qt::black), H - 22);
    QVERIFY(!Is(img, {20, 2}, Qt::black));
    QCOMPARE(CountColour(img, QRect(QPoint(20, H - 20), QPoint(W - 3, H - 20)), Qt::black), W - 22);
    QVERIFY(!Is(img, {W - 2, H - 20}, Qt::black));
    // Nothing else: no frame, ticks or labels.
    QCOMPARE(CountColour(img, img.rect(), Qt::black), (H - 22) + (W - 22) - 1);
}

void TestGraphDraw::focusFrameOnlyWithFocus()
{
    auto g = MakeGraph(200, 120);
    const QRect topEdge(0, 0, 200, 1);
    QCOMPARE(CountColour(g->DrawToBitmap(), topEdge, Qt::black), 0);
    g->show();
    g->activateWindow();
    g->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(g.get()));
    QTRY_VERIFY(g->hasFocus());
    // A dotted frame: every other pixel of each edge.
    const QImage img = g->DrawToBitmap();
    QCOMPARE(CountColour(img, topEdge, Qt::black), 100);
    QCOMPARE(CountColour(img, QRect(0, 0, 1, 120), Qt::black), 60);
    QCOMPARE(CountColour(img, QRect(199, 0, 1, 120), Qt::black), 60);
}

void TestGraphDraw::rightAxisOnlyWithVisibleRightCurve()
{
    auto g = MakeGraph();
    AddCurve(*g, {{10, 1}, {90, 1}});
    TCurve *right = AddCurve(*g, {{10, 1}, {90, 1}}, Qt::blue, 1, axRight);
    right->SetVisible(false);
    QImage img = g->DrawToBitmap();
    const int edge = g->GetMargX() + g->GetLenX();
    const QRect strip(QPoint(edge - 40, 9), QPoint(edge - 1, g->height() - g->GetMargY() - 1));
    QCOMPARE(CountColour(img, strip, Qt::black), 0);
    right->SetVisible(true);
    img = g->DrawToBitmap();
    QVERIFY(CountColour(img, strip, Qt::black) > 20);
}

void TestGraphDraw::repaintRequestsCoalesce()
{
    CountingGraph g;
    g.resize(300, 200);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QTest::qWait(20);
    TCurve *c = g.Curves()->Add();

    g.paints = 0;
    c->SetColor(Qt::red);
    c->AddPoint(1, 1);
    c->AddPoint(2, 2);
    g.AddMarker(1, 1);
    g.SetGridX(false);
    QTest::qWait(50);
    QCOMPARE(g.paints, 1);

    // Requests from another thread reach the UI thread as one paint.
    g.paints = 0;
    const quint64 before = g.RepaintRequests();
    std::thread worker([c] {
        for (int i = 0; i < 1000; ++i)
            c->AddPoint(i, i % 7);
    });
    worker.join();
    QCOMPARE(g.RepaintRequests() - before, quint64(1000));
    QCOMPARE(g.paints, 0);
    QTest::qWait(50);
    QCOMPARE(g.paints, 1);
}

void TestGraphDraw::repaintsAtMostOncePerFrame()
{
    // A writer that adds a point and lets the UI process its events in a
    // tight loop (as a sweep does) gets one paint a frame, and the picture
    // still follows it while it runs; a paint asked for directly is not held.
    CountingGraph g;
    g.resize(300, 200);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    TCurve *c = g.Curves()->Add();
    QTest::qWait(2 * TGraphM::kFrameMs);

    g.paints = 0;
    QElapsedTimer t;
    t.start();
    int points = 0;
    while (t.elapsed() < 300) {
        c->AddPoint(points, points % 5);
        ++points;
        QCoreApplication::processEvents();
    }
    const qint64 ms = t.elapsed();
    QVERIFY2(points > 100, "the loop is too slow to show anything");
    QVERIFY2(g.paints <= ms / TGraphM::kFrameMs + 2, qPrintable(QString::number(g.paints)));
    QVERIFY2(g.paints >= 5, qPrintable(QString::number(g.paints)));

    const int before = g.paints;
    c->AddPoint(points, 1); // a request inside the frame: its paint waits ...
    g.repaint();            // ... but this one does not
    QCOMPARE(g.paints, before + 1);
    QTest::qWait(3 * TGraphM::kFrameMs);
    QVERIFY(g.paints <= before + 2);
}

void TestGraphDraw::writersWaitForThePaint_data()
{
    QTest::addColumn<QString>("op");
    for (const char *op : {"AddPoint", "AddPoints", "ClearPoints", "SetColor", "Add curve", "Delete curve"})
        QTest::newRow(op) << QString(op);
}

void TestGraphDraw::writersWaitForThePaint()
{
    QFETCH(QString, op);
    auto g = MakeGraph(300, 200);
    TCurve *c = AddCurve(*g, {{10, 1}, {90, 3}});
    const std::map<QString, std::function<void()>> ops{
        {"AddPoint", [c] { c->AddPoint(50, 2); }},
        {"AddPoints", [c] { c->AddPoints(std::vector<TGraphPoint>(5000, {50, 2})); }},
        {"ClearPoints", [c] { c->ClearPoints(); }},
        {"SetColor", [c] { c->SetColor(Qt::blue); }},
        {"Add curve", [&g] { g->Curves()->Add(); }},
        {"Delete curve", [&g] { g->Curves()->Delete(0); }},
    };

    // A worker started in the middle of a paint (the marker text callback
    // runs inside it) must not get through before the paint ends.
    std::atomic<bool> written{false};
    bool writtenDuringPaint = true;
    std::thread worker;
    g->AddMarker(50, 2);
    g->OnMarkerGetText = [&](TGraphM *, int, QString &) {
        worker = std::thread([&] {
            ops.at(op)();
            written = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        writtenDuringPaint = written;
    };
    g->DrawToBitmap();
    worker.join();
    QVERIFY(!writtenDuringPaint);
    QVERIFY(written);
}

void TestGraphDraw::paintWaitsForLockHolder()
{
    auto g = MakeGraph(300, 200);
    TCurve *c = AddCurve(*g, {{10, 1}, {90, 3}});
    std::atomic<bool> locked{false}, released{false};
    std::thread worker([&] {
        std::lock_guard<std::recursive_mutex> lock(g->Mutex());
        locked = true;
        for (int i = 0; i < 100; ++i) {
            c->AddPoint(i, 2);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        released = true;
    });
    while (!locked)
        std::this_thread::yield();
    g->DrawToBitmap();
    QVERIFY(released);
    worker.join();
    QCOMPARE(c->Count(), 102);
}

QTEST_MAIN(TestGraphDraw)
#include "tst_graphdraw.moc"
