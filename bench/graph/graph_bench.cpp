// Drawing and interaction cost of the graph at the main window's size, with
// curves shaped like real sweeps. Prints "BENCH <case> <median> ms" lines.
#include "FastLines.h"
#include "GraphM.h"
#include "Navigator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int kWidth = 1072, kHeight = 508, kPen = 3, kRuns = 31;
constexpr double kStart = 1e6, kStop = 30e6;

struct TSweepPoint
{
    double Freq, Swr, R, X;
};

// One sweep over the main window's default range: an antenna resonance (an
// SWR dip with R and |X| to match) plus a little detector noise. The seed
// moves the resonance a little, as successive repeat sweeps do.
std::vector<TSweepPoint> Sweep(int points, quint32 seed)
{
    QRandomGenerator rng(seed);
    const double f0 = 14e6 + 0.05e6 * (seed % 20);
    std::vector<TSweepPoint> s(points);
    for (int i = 0; i < points; ++i) {
        const double f = kStart + (kStop - kStart) * i / (points - 1);
        const double detune = (f - f0) / f0 * 8; // loaded Q about 8
        const double r = 50 + 10 * detune * detune;
        const double x = 50 * std::fabs(detune) * (1 + 0.3 * detune * detune);
        const std::complex<double> z(r, x);
        const double gamma = std::abs((z - 50.0) / (z + 50.0));
        const double noise = 1 + 0.01 * (rng.generateDouble() - 0.5);
        s[i] = {f, std::min(9.9, (1 + gamma) / (1 - gamma)) * noise, r * noise, x * noise};
    }
    return s;
}

void SetUpGraph(TGraphM &g)
{
    g.resize(kWidth, kHeight);
    g.SetShowTextScale(false);
    g.SetMinXValue(kStart);
    g.SetMaxXValue(kStop);
    g.SetMinYValue(1);
    g.SetMaxYValue(4);
    g.SetMaxYRValue(100);
}

// Curve c is kind c % 3 of track c / 3: SWR on the left axis, R and |X| on
// the right one, as the repeat mode keeps them.
double CurveValue(const TSweepPoint &p, int kind) { return kind == 0 ? p.Swr : kind == 1 ? p.R : p.X; }

void AddCurves(TGraphM &g, int count, int points)
{
    for (int c = 0; c < count; ++c) {
        const int kind = c % 3;
        TCurve *curve = g.Curves()->Add();
        curve->SetThickLine(kPen);
        curve->SetColor(kind == 0 ? QColor(255, 40, 40) : kind == 1 ? QColor(40, 40, 255) : QColor(0, 150, 0));
        curve->SetAxis(kind == 0 ? axLeft : axRight);
        std::vector<TGraphPoint> pts;
        for (const TSweepPoint &p : Sweep(points, quint32(c / 3 + 1)))
            pts.push_back({p.Freq, CurveValue(p, kind)});
        curve->AddPoints(pts);
    }
}

// Median time of run, with prepare (untimed) before each run.
double Median(const std::function<void()> &run, const std::function<void()> &prepare = [] {})
{
    prepare();
    run(); // warm-up: fonts, caches
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        run();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::nth_element(ms.begin(), ms.begin() + kRuns / 2, ms.end());
    return ms[kRuns / 2];
}

void Report(const char *name, double ms) { std::printf("BENCH %s %.2f ms\n", name, ms); }

// The whole control, with the layer cache off: every run draws the
// background, the axes and every curve from the model.
void BenchGraph(const char *name, int curves, int points)
{
    TGraphM g;
    SetUpGraph(g);
    g.SetLayerCache(false);
    AddCurves(g, curves, points);
    Report(name, Median([&] { (void)g.DrawToBitmap(); }));
}

// A live sweep: one new point on curve `growing`, then the picture the
// screen gets (through the layer cache, as the control paints).
void BenchAppend(const char *name, int curves, int points, int growing)
{
    TGraphM g;
    SetUpGraph(g);
    AddCurves(g, curves, points);
    TCurve *curve = g.Curves()->Items(growing);
    const int kind = growing % 3;
    const std::vector<TSweepPoint> s = Sweep(points, 99);
    curve->ClearPoints();
    int next = points - kRuns - 1; // the timed runs bring it to full length
    for (int i = 0; i < next; ++i)
        curve->AddPoint(s[i].Freq, CurveValue(s[i], kind));
    Report(name, Median([&] {
        curve->AddPoint(s[next].Freq, CurveValue(s[next], kind));
        ++next;
        (void)g.DrawToBitmap();
    }));
}

// The line drawing alone, on pixels mapped as the graph maps them.
void BenchLines(const char *name, int curves, int points)
{
    const QRect plot(40, 8, 1000, 477);
    std::vector<std::vector<QPoint>> mapped;
    for (int c = 0; c < curves; ++c) {
        const double full = c % 3 == 0 ? 3 : 100, low = c % 3 == 0 ? 1 : 0;
        std::vector<QPoint> px;
        for (const TSweepPoint &p : Sweep(points, quint32(c / 3 + 1)))
            px.emplace_back(plot.left() + int(std::lround((p.Freq - kStart) / (kStop - kStart) * plot.width())),
                            plot.bottom() + 1 - int(std::lround((CurveValue(p, c % 3) - low) / full * plot.height())));
        mapped.push_back(std::move(px));
    }
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    Report(name, Median([&] {
        img.fill(Qt::white);
        for (const std::vector<QPoint> &c : mapped)
            DrawCurveFast(img, c.data(), int(c.size()), 0xFF2020FF, kPen, plot);
    }));
}

void SendMouse(QWidget &w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(pos), QPointF(w.mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

// repaint() paints only once the window is exposed.
void ShowExposed(QWidget &w)
{
    w.show();
    QElapsedTimer t;
    t.start();
    while (!w.windowHandle()->isExposed() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// The largest graph the program makes, on the screen, as the main window
// sets it up (zoom gestures act on X).
struct TLiveGraph {
    TGraphM G;
    TLiveGraph()
    {
        SetUpGraph(G);
        G.SetScaleMode(smX);
        AddCurves(G, 90, 1001);
        ShowExposed(G);
        G.repaint();
        if (G.CurvesDrawn() == 0) {
            std::fprintf(stderr, "graph_bench: the graph does not paint on this platform\n");
            std::exit(1);
        }
    }
    void ZoomTo(int scaleX)
    {
        G.SetPHit({-1, 0});
        G.SetScaleX(scaleX);
        G.repaint();
    }
};

// Each case: the input event delivered to the control, then the repaint it
// asked for, forced with repaint().

void BenchZoomStep()
{
    TLiveGraph live;
    TGraphM &g = live.G;
    const QPoint at(500, 250);
    Report("zoom_step_90x1001", Median(
        [&] {
            QWheelEvent e(QPointF(at), QPointF(g.mapToGlobal(at)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&g, &e);
            g.repaint();
        },
        [&] { live.ZoomTo(100); }));
}

// One mouse move of a drag with button, pressed at press and then moving
// between a and b, on the graph zoomed to scaleX.
void BenchDragMove(const char *name, Qt::MouseButton button, int scaleX, QPoint press, QPoint a, QPoint b)
{
    TLiveGraph live;
    TGraphM &g = live.G;
    live.ZoomTo(scaleX);
    SendMouse(g, QEvent::MouseButtonPress, press, button, button);
    int step = 0;
    Report(name, Median([&] {
        SendMouse(g, QEvent::MouseMove, ++step % 2 ? a : b, Qt::NoButton, button);
        g.repaint();
    }));
    SendMouse(g, QEvent::MouseButtonRelease, b, button, Qt::NoButton);
}

void BenchHoverFind()
{
    TLiveGraph live;
    TGraphM &g = live.G;
    int ind = 0;
    TGraphPoint gp;
    int found = 0;
    Report("hover_find_90x1001", Median([&] { found += g.FindPointOnCurve({700, 100}, ind, gp); }));
    (void)found;
}

void BenchNavigatorPress()
{
    TLiveGraph live;
    TGraphM &g = live.G;
    g.SetNavigator(true);
    live.ZoomTo(300);
    TNavigator &nav = *g.NavigatorWindow();
    ShowExposed(nav);
    nav.repaint();
    if (!(nav.KX() > 0)) {
        std::fprintf(stderr, "graph_bench: the navigator does not paint on this platform\n");
        std::exit(1);
    }
    int step = 0;
    Report("navigator_press_90x1001", Median([&] {
        const QPoint at = ++step % 2 ? QPoint(60, 40) : QPoint(200, 90);
        SendMouse(nav, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        g.repaint(); // which hands the navigator the new window
        nav.repaint();
    }));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchGraph("draw_90x1001_w3", 90, 1001);
    BenchGraph("draw_1x100001_w3", 1, 100001);
    // The newest curve grows, as in a live sweep; a middle one redraws every
    // curve above it too.
    BenchAppend("append_90x1001_w3", 90, 1001, 89);
    BenchAppend("append_mid_90x1001_w3", 90, 1001, 45);
    BenchLines("lines_90x1001_w3", 90, 1001);
    BenchLines("lines_1x100001_w3", 1, 100001);
    BenchZoomStep();
    // A pan step redraws the picture; a measuring move only its figure.
    BenchDragMove("pan_step_90x1001", Qt::RightButton, 300, {500, 250}, {480, 260}, {500, 250});
    BenchNavigatorPress();
    BenchDragMove("measure_drag_90x1001", Qt::LeftButton, 100, {300, 200}, {600, 330}, {607, 330});
    BenchHoverFind();
    return 0;
}
