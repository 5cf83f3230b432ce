// The graph's gestures: wheel, keypad and arrow keys, pan and measuring drags,
// markers by double click, the middle click, the hover hint and the focus.
#include "GraphInputRig.h"

#include <QHelpEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(TScaleMode)

namespace {

const QColor kMeasureGreen(0, 128, 0);

// 400 x 300, X 0..100, left 0..4, one visible left curve, drawn once so the
// geometry is known.
std::unique_ptr<TGraphM> MakeDrawnGraph(bool plotData = true)
{
    auto g = MakeGraph();
    if (plotData)
        AddCurve(*g, {{0, 1}, {100, 3}});
    else
        AddCurve(*g, {{50, 2}});
    (void)g->DrawToBitmap();
    return g;
}

// Zoomed to 200/200 around the plot centre: X 25..75, left 1..3.
void ZoomIn(TGraphM &g)
{
    g.SetPHit({-1, 0});
    g.SetScaleX(200);
    g.SetScaleY(200);
    (void)g.DrawToBitmap();
}

double KX(const TGraphM &g)
{
    return g.GetLenX() * g.GetSclKX() / (g.MaxXValue() - g.MinXValue());
}

double KY(const TGraphM &g)
{
    return g.GetLenY() * g.GetSclKY() / (g.MaxYValue() - g.MinYValue());
}

int CountColour(const QImage &img, const QColor &c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == c.rgb();
    return n;
}

// Counts the wheel notifications that reach it.
class TWheelCounter : public QWidget {
public:
    int Wheels = 0;

protected:
    void wheelEvent(QWheelEvent *) override { ++Wheels; }
};

// A window holding a line edit and a graph, active, with the edit focused.
struct TFocusRig {
    QWidget Window;
    QLineEdit *Edit;
    TGraphM *Graph;

    TFocusRig()
    {
        auto *layout = new QVBoxLayout(&Window);
        Edit = new QLineEdit(&Window);
        Graph = new TGraphM(&Window);
        Graph->setMinimumSize(400, 300);
        Graph->SetShowTextScale(false);
        layout->addWidget(Edit);
        layout->addWidget(Graph);
        AddCurve(*Graph, {{0, 10}, {100, 90}});
        Window.show();
        Window.activateWindow();
        Edit->setFocus();
    }
};

} // namespace

class TestGraphInput : public QObject {
    Q_OBJECT

private slots:
    void wheel_data();
    void wheel();
    void wheelCentresOnCursorValue();
    void wheelStaysWithGraph();
    void keypad_data();
    void keypad();
    void arrows_data();
    void arrows();
    void arrowsReachGraphThroughWindow();
    void panDrag();
    void panLimits();
    void measureDragLeavesNoTrace();
    void readoutSeesPreviousMove();
    void doubleClickTogglesMarkers();
    void middleClickResets();
    void clickOnUnfocusedGraphOnlyFocuses();
    void focusFrameFollowsFocus();
    void findPointOnCurve();
    void findPointOnTinyControl_data();
    void findPointOnTinyControl();
    void hint_data();
    void hint();
};

void TestGraphInput::wheel_data()
{
    QTest::addColumn<TScaleMode>("mode");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("dy");
    QTest::addColumn<bool>("plotData");
    QTest::addColumn<int>("stepScale");
    QTest::addColumn<int>("scaleX");
    QTest::addColumn<int>("scaleY");
    QTest::newRow("smX towards the user") << smX << false << -120 << true << 100 << 150 << 100;
    QTest::newRow("smX with shift") << smX << true << -120 << true << 100 << 100 << 150;
    QTest::newRow("smX away at 100") << smX << false << 120 << true << 100 << 100 << 100;
    QTest::newRow("smY") << smY << false << -120 << true << 100 << 100 << 150;
    QTest::newRow("smY with shift") << smY << true << -120 << true << 100 << 150 << 100;
    QTest::newRow("smXY") << smXY << false << -120 << true << 100 << 150 << 150;
    QTest::newRow("smXY ignores shift") << smXY << true << -120 << true << 100 << 150 << 150;
    QTest::newRow("no curve of two points") << smX << false << -120 << false << 100 << 100 << 100;
    QTest::newRow("step scale 1 gives no step") << smX << false << -120 << true << 1 << 100 << 100;
}

void TestGraphInput::wheel()
{
    QFETCH(TScaleMode, mode);
    QFETCH(bool, shift);
    QFETCH(int, dy);
    QFETCH(bool, plotData);
    QFETCH(int, stepScale);
    QFETCH(int, scaleX);
    QFETCH(int, scaleY);
    auto g = MakeDrawnGraph(plotData);
    g->SetScaleMode(mode);
    g->SetStepScale(stepScale);
    Wheel(*g, {200, 150}, dy, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(g->ScaleX(), scaleX);
    QCOMPARE(g->ScaleY(), scaleY);
    if (scaleX == 100)
        QCOMPARE((std::pair{g->scMinX, g->scMaxX}), (std::pair{0.0, 100.0}));
}

void TestGraphInput::wheelCentresOnCursorValue()
{
    auto g = MakeDrawnGraph();
    g->SetScaleMode(smX);
    const QPoint at = g->GraphPointToPoint({40, 2});
    const double under = g->PointToGraphPoint(at).X;
    Wheel(*g, at, -120);
    QCOMPARE(g->GetPHit(), at);
    QCOMPARE((g->scMinX + g->scMaxX) / 2, under);
    QCOMPARE(g->scMaxX - g->scMinX, 100 / 1.5);
}

void TestGraphInput::wheelStaysWithGraph()
{
    TWheelCounter parent;
    auto *g = new TGraphM(&parent);
    g->resize(400, 300);
    Wheel(*g, {200, 150}, -120); // no curves: nothing to zoom, still kept
    AddCurve(*g, {{0, 1}, {100, 3}});
    Wheel(*g, {200, 150}, -120);
    QCOMPARE(parent.Wheels, 0);
    QCOMPARE(g->ScaleX(), 150);
}

void TestGraphInput::keypad_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("mods");
    QTest::addColumn<bool>("plotData");
    QTest::addColumn<int>("startX");
    QTest::addColumn<int>("scaleX");
    QTest::addColumn<int>("scaleY");
    QTest::addColumn<int>("changes");
    const int kp = Qt::KeypadModifier;
    QTest::newRow("plus") << int(Qt::Key_Plus) << kp << true << 100 << 150 << 100 << 1;
    QTest::newRow("plus without plot data") << int(Qt::Key_Plus) << kp << false << 100 << 150 << 100 << 1;
    QTest::newRow("shift plus") << int(Qt::Key_Plus) << int(kp | Qt::ShiftModifier) << true << 100 << 100 << 150 << 1;
    QTest::newRow("main keyboard plus") << int(Qt::Key_Plus) << 0 << true << 100 << 100 << 100 << 0;
    QTest::newRow("minus at 100") << int(Qt::Key_Minus) << kp << true << 100 << 100 << 100 << 0;
    QTest::newRow("minus zoomed") << int(Qt::Key_Minus) << kp << true << 200 << 150 << 100 << 1;
    QTest::newRow("multiply") << int(Qt::Key_Asterisk) << kp << true << 200 << 100 << 100 << 1;
    QTest::newRow("multiply at 100") << int(Qt::Key_Asterisk) << kp << true << 100 << 100 << 100 << 0;
}

void TestGraphInput::keypad()
{
    QFETCH(int, key);
    QFETCH(int, mods);
    QFETCH(bool, plotData);
    QFETCH(int, startX);
    QFETCH(int, scaleX);
    QFETCH(int, scaleY);
    QFETCH(int, changes);
    auto g = MakeDrawnGraph(plotData);
    g->SetScaleMode(smX);
    g->SetPHit({-1, 0});
    g->SetScaleX(startX);
    g->SetPHit({10, 10}); // the keys zoom around the plot centre instead
    int reports = 0;
    g->OnScaleChange = [&](TGraphM *, int, int) { ++reports; };
    QTest::keyClick(g.get(), Qt::Key(key), Qt::KeyboardModifiers(mods));
    QCOMPARE(g->ScaleX(), scaleX);
    QCOMPARE(g->ScaleY(), scaleY);
    QCOMPARE(reports, changes);
    if (changes && key != Qt::Key_Asterisk)
        QCOMPARE(g->GetPHit(), QPoint(-1, 0));
}

void TestGraphInput::arrows_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("zoomed");
    QTest::addColumn<int>("pxX"); // window shift in pixels
    QTest::addColumn<int>("pxY");
    QTest::newRow("left at 100/100") << int(Qt::Key_Left) << false << false << 0 << 0;
    QTest::newRow("down at 100/100") << int(Qt::Key_Down) << false << false << 0 << 0;
    QTest::newRow("left shows larger X") << int(Qt::Key_Left) << false << true << 10 << 0;
    QTest::newRow("right") << int(Qt::Key_Right) << false << true << -10 << 0;
    QTest::newRow("up shows smaller Y") << int(Qt::Key_Up) << false << true << 0 << -10;
    QTest::newRow("down") << int(Qt::Key_Down) << false << true << 0 << 10;
    QTest::newRow("ctrl up") << int(Qt::Key_Up) << true << true << 0 << -(300 - 24 - 8);
}

void TestGraphInput::arrows()
{
    QFETCH(int, key);
    QFETCH(bool, ctrl);
    QFETCH(bool, zoomed);
    QFETCH(int, pxX);
    QFETCH(int, pxY);
    auto g = MakeDrawnGraph();
    if (zoomed)
        ZoomIn(*g);
    const double minX = g->scMinX, maxX = g->scMaxX, minY = g->scMinY, maxY = g->scMaxY;
    QTest::keyClick(g.get(), Qt::Key(key), ctrl ? Qt::ControlModifier : Qt::NoModifier);
    QVERIFY(qFuzzyCompare(g->scMinX - minX + 1, pxX / KX(*g) + 1));
    QVERIFY(qFuzzyCompare(g->scMaxX - maxX + 1, pxX / KX(*g) + 1));
    QVERIFY(qFuzzyCompare(g->scMinY - minY + 1, pxY / KY(*g) + 1));
    QVERIFY(qFuzzyCompare(g->scMaxY - maxY + 1, pxY / KY(*g) + 1));
    if (zoomed) {
        // The pan starts at the plot centre and ends where its data went.
        const QPoint q((400 - g->GetMargX()) / 2 + g->GetMargX(), (300 - 24) / 2);
        QCOMPARE(g->GetPHit(), QPoint(q.x() - pxX, q.y() + pxY));
    }
}

void TestGraphInput::arrowsReachGraphThroughWindow()
{
    TFocusRig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.Window));
    rig.Graph->setFocus();
    QVERIFY(rig.Graph->hasFocus());
    ZoomIn(*rig.Graph);
    const double minX = rig.Graph->scMinX;
    // Through the window system's route, as a real key press goes.
    QTest::keyClick(rig.Window.windowHandle(), Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(rig.Window.windowHandle(), Qt::Key_Up);
    QVERIFY(rig.Graph->hasFocus());
    QCOMPARE(rig.Graph->scMinX, rig.Graph->MinXValue()); // Ctrl+Right went to the start
    QVERIFY(rig.Graph->scMinX < minX);
}

void TestGraphInput::panDrag()
{
    auto g = MakeDrawnGraph();
    Drag(*g, Qt::RightButton, {200, 150}, {150, 170});
    QCOMPARE((std::array{g->scMinX, g->scMaxX, g->scMinY, g->scMaxY}), (std::array{0.0, 100.0, 0.0, 4.0}));
    QVERIFY(!g->GetIsShiftMove());

    ZoomIn(*g);
    const double minX = g->scMinX, minY = g->scMinY;
    Press(*g, Qt::RightButton, {200, 150});
    Move(*g, Qt::RightButton, {150, 170});
    QVERIFY(g->GetIsShiftDown() && g->GetIsShiftMove());
    // The picture follows the cursor: 50 pixels left and 20 down.
    QVERIFY(qFuzzyCompare(g->scMinX - minX, 50 / KX(*g)));
    QVERIFY(qFuzzyCompare(g->scMinY - minY, 20 / KY(*g)));
    QCOMPARE(g->ScaleX(), 200);
    Release(*g, Qt::RightButton, {150, 170});
    QVERIFY(!g->GetIsShiftDown() && !g->GetIsShiftMove());
}

void TestGraphInput::panLimits()
{
    auto g = MakeDrawnGraph();
    ZoomIn(*g);
    Press(*g, Qt::RightButton, {200, 150});
    Move(*g, Qt::RightButton, {-5000, 5000});
    // X stops at the end of its full range; Y has no limit.
    QCOMPARE(g->scMaxX, 100.0);
    QCOMPARE(g->scMinX, 50.0);
    QVERIFY(g->scMinY > g->MaxYValue());
    Move(*g, Qt::RightButton, {5000, 5000});
    QCOMPARE(g->scMinX, 0.0);
    QCOMPARE(g->scMaxX, 50.0);
}

void TestGraphInput::measureDragLeavesNoTrace()
{
    auto g = MakeDrawnGraph();
    const QImage before = g->grab().toImage();
    Press(*g, Qt::LeftButton, {100, 100});
    Move(*g, Qt::LeftButton, {300, 50});
    Move(*g, Qt::LeftButton, {200, 160});
    QVERIFY(g->IsMeasureDown && g->IsMeasureMove);
    QCOMPARE(g->MeasureFrom, QPoint(100, 100));
    QCOMPARE(g->MeasureTo, QPoint(200, 160));
    const QImage during = g->grab().toImage();
    QVERIFY(CountColour(during, kMeasureGreen) > 100);
    // Only the latest figure shows: nothing green beyond it.
    for (int y = 0; y < during.height(); ++y)
        for (int x = 0; x < during.width(); ++x)
            if (during.pixel(x, y) == kMeasureGreen.rgb())
                QVERIFY2(QRect(QPoint(100, 100), QPoint(200, 160)).contains(x, y), "figure beyond its corners");

    const quint64 requests = g->RepaintRequests();
    Release(*g, Qt::LeftButton, {200, 160});
    QVERIFY(!g->IsMeasureDown && !g->IsMeasureMove);
    QCOMPARE(g->RepaintRequests(), requests + 1);
    QCOMPARE(g->grab().toImage(), before);
}

void TestGraphInput::readoutSeesPreviousMove()
{
    auto g = MakeDrawnGraph();
    std::vector<std::pair<bool, QPoint>> seen; // IsMeasureMove, MeasureTo at each move
    std::vector<QPoint> positions;
    g->OnMouseMove = [&](TGraphM *sender, QPoint pos) {
        QCOMPARE(sender, g.get());
        seen.emplace_back(sender->IsMeasureMove, sender->MeasureTo);
        positions.push_back(pos);
    };
    Move(*g, Qt::NoButton, {50, 60}); // hovering: reported, nothing else
    QVERIFY(!g->IsMeasureDown);
    Press(*g, Qt::LeftButton, {100, 100});
    Move(*g, Qt::LeftButton, {120, 110});
    Move(*g, Qt::LeftButton, {140, 120});
    QCOMPARE(positions, (std::vector<QPoint>{{50, 60}, {120, 110}, {140, 120}}));
    QCOMPARE(seen[1].first, false);
    QCOMPARE(seen[2], (std::pair{true, QPoint(120, 110)}));
}

void TestGraphInput::doubleClickTogglesMarkers()
{
    auto g = MakeDrawnGraph();
    const QPoint p(200, 150);
    DoubleClick(*g, p);
    QCOMPARE(g->Markers.size(), size_t(1));
    QCOMPARE(g->Markers[0], g->PointToGraphPoint(p));
    QCOMPARE(g->GraphPointToPoint(g->Markers[0]), p);

    DoubleClick(*g, p + QPoint(4, -4)); // within 4 pixels both ways: removed
    QVERIFY(g->Markers.empty());

    DoubleClick(*g, p);
    DoubleClick(*g, p + QPoint(5, 0)); // 5 pixels away: a second marker
    QCOMPARE(g->Markers.size(), size_t(2));
    const TGraphPoint second = g->Markers[1];

    DoubleClick(*g, p + QPoint(2, 0)); // near both: the first added goes
    QCOMPARE(g->Markers.size(), size_t(1));
    QCOMPARE(g->Markers[0], second);
}

void TestGraphInput::middleClickResets()
{
    auto g = MakeDrawnGraph();
    ZoomIn(*g);
    Press(*g, Qt::MiddleButton, {120, 80});
    QCOMPARE(g->ScaleX(), 200); // the press alone does nothing
    QCOMPARE(g->GetPHit(), QPoint(120, 80));
    Release(*g, Qt::MiddleButton, {120, 80});
    QCOMPARE(g->ScaleX(), 100);
    QCOMPARE(g->ScaleY(), 100);
    QCOMPARE((std::pair{g->scMinX, g->scMaxX}), (std::pair{0.0, 100.0}));
}

void TestGraphInput::clickOnUnfocusedGraphOnlyFocuses()
{
    TFocusRig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.Window));
    QVERIFY(rig.Edit->hasFocus());
    ZoomIn(*rig.Graph);
    const QPoint at(150, 120);
    QTest::mouseClick(rig.Graph, Qt::MiddleButton, {}, at);
    QVERIFY(rig.Graph->hasFocus());
    QCOMPARE(rig.Graph->ScaleX(), 200);
    QTest::mouseClick(rig.Graph, Qt::MiddleButton, {}, at);
    QCOMPARE(rig.Graph->ScaleX(), 100);
}

void TestGraphInput::focusFrameFollowsFocus()
{
    TFocusRig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.Window));
    const auto darkOnTopRow = [&rig] {
        const QImage img = rig.Graph->grab().toImage();
        int n = 0;
        for (int x = 0; x < img.width(); ++x)
            n += qGray(img.pixel(x, 0)) < 128;
        return n;
    };
    QCOMPARE(darkOnTopRow(), 0);
    rig.Graph->setFocus();
    QVERIFY(darkOnTopRow() > rig.Graph->width() / 4); // dotted
    rig.Edit->setFocus();
    QCOMPARE(darkOnTopRow(), 0);
}

void TestGraphInput::findPointOnCurve()
{
    auto g = MakeDrawnGraph();
    g->Curves()->Clear();
    AddCurve(*g, {{10, 1}, {50, 2}, {50.1, 2.01}});
    TCurve *hidden = AddCurve(*g, {{0, 0}, {50.3, 2.05}}, Qt::blue, 1, axRight);
    hidden->SetVisible(false);
    (void)g->DrawToBitmap();
    const QPoint at = g->GraphPointToPoint({50, 2});
    int ind = -1;
    TGraphPoint gp;
    // Both curves are near; the later one wins, compared on the left axis.
    QVERIFY(g->FindPointOnCurve(at, ind, gp));
    QCOMPARE(ind, 1);
    QCOMPARE(gp, (TGraphPoint{50.3, 2.05}));

    hidden->ClearPoints();
    QVERIFY(g->FindPointOnCurve(at, ind, gp));
    QCOMPARE(ind, 1); // the first near point of the curve
    QCOMPARE(gp, (TGraphPoint{50, 2}));

    QVERIFY(!g->FindPointOnCurve(g->GraphPointToPoint({30, 3}), ind, gp));
    QCOMPARE(ind, 0);
}

void TestGraphInput::findPointOnTinyControl_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("1 pixel wide") << QSize(1, 300);
    QTest::newRow("5 pixels high") << QSize(400, 5);
}

void TestGraphInput::findPointOnTinyControl()
{
    QFETCH(QSize, size);
    auto g = MakeDrawnGraph();
    g->resize(size);
    (void)g->DrawToBitmap();
    int ind = -1;
    TGraphPoint gp{7, 7};
    QVERIFY(!g->FindPointOnCurve({0, 0}, ind, gp));
    QCOMPARE(ind, 0);
    QCOMPARE(gp, (TGraphPoint{7, 7}));
}

void TestGraphInput::hint_data()
{
    QTest::addColumn<bool>("showHint");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("text");
    QTest::newRow("DecimalHint 0") << true << 0 << 10.0 << "0: (x:10, y:2)";
    QTest::newRow("DecimalHint 1") << true << 1 << 10.0 << "0: (x:10.0, y:2.0)";
    QTest::newRow("away from the points") << true << 1 << 50.0 << "";
    QTest::newRow("hints off") << false << 1 << 10.0 << "";
}

void TestGraphInput::hint()
{
    QFETCH(bool, showHint);
    QFETCH(int, decimals);
    QFETCH(double, x);
    auto g = MakeDrawnGraph();
    g->Curves()->Clear();
    AddCurve(*g, {{10, 2}, {90, 3}});
    (void)g->DrawToBitmap();
    g->SetShowHint(showHint);
    g->SetDecimalHint(decimals);
    const QPoint at = g->GraphPointToPoint({x, 2});
    QHelpEvent help(QEvent::ToolTip, at, g->mapToGlobal(at));
    QApplication::sendEvent(g.get(), &help);
    QTEST(g->HintShown(), "text");
}

QTEST_MAIN(TestGraphInput)
#include "tst_graphinput.moc"
