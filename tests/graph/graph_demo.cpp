// A small window showing the graph control with curves on both axes, grid,
// ticks and markers. With --save FILE it writes the picture instead.

#include "GraphM.h"

#include <QApplication>
#include <QStringList>

#include <cmath>
#include <iostream>

namespace {

// An SWR-like dip: flat high at the ends, near 1 at the resonance.
double Swr(double f, double f0, double width)
{
    const double d = (f - f0) / width;
    return 1.05 + 2.6 * d * d / (1 + d * d);
}

void AddSweep(TGraphM &g, double f0, const QColor &swrColour, const QColor &rColour)
{
    TCurve *swr = g.Curves()->Add();
    swr->SetColor(swrColour);
    swr->SetThickLine(2);
    TCurve *r = g.Curves()->Add();
    r->SetColor(rColour);
    r->SetAxis(axRight);
    for (int i = 0; i <= 400; ++i) {
        const double f = 1e6 + i * (29e6 / 400);
        swr->AddPoint(f, Swr(f, f0, 2.5e6) + 0.01 * std::sin(i * 1.7));
        r->AddPoint(f, 50 + 40 * std::tanh((f - f0) / 4e6));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TGraphM g;
    g.setWindowTitle("Graph demo");
    g.resize(1072, 508);
    g.SetMinXValue(1000000);
    g.SetMaxXValue(30000000);
    g.SetMinYValue(1);
    g.SetMaxYValue(4);
    g.SetMaxYRValue(100);
    g.SetPrecision(1);
    AddSweep(g, 14.2e6, QColor(220, 0, 0), QColor(0, 0, 220));
    AddSweep(g, 21.3e6, QColor(0, 140, 0), QColor(0, 160, 200));
    g.Curves()->Items(0)->SetDetails(true);
    g.AddMarker(14.2e6, Swr(14.2e6, 14.2e6, 2.5e6));
    g.AddMarker(21.3e6, Swr(21.3e6, 21.3e6, 2.5e6));
    g.OnMarkerGetText = [](TGraphM *sender, int index, QString &text) {
        const TGraphPoint m = sender->Markers[size_t(index)];
        text = QString("%1 MHz  SWR %2").arg(m.X / 1e6, 0, 'f', 3).arg(m.Y, 0, 'f', 2);
    };
    // Zoom around the centre once the first drawing has laid out the axes.
    g.DrawToBitmap();
    g.SetPHit({-1, 0});
    g.SetScaleX(150);

    const QStringList args = app.arguments();
    const qsizetype save = args.indexOf("--save");
    if (save >= 0) {
        if (save + 1 >= args.size()) {
            std::cerr << "usage: graph_demo [--save FILE.png]\n";
            return 2;
        }
        return g.DrawToBitmap().save(args[save + 1]) ? 0 : 1;
    }
    g.show();
    return app.exec();
}
