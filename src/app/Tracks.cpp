#include "Tracks.h"

#include "DispMode.h"
#include "GraphM.h"

namespace Vantrel {

namespace {

void AddCurve(TCurves &curves, const QColor &color, TAxis axis, const QString &caption)
{
    TCurve *c = curves.Add();
    c->SetThickLine(3);
    c->SetColor(color);
    c->SetAxis(axis);
    c->SetCaption(caption);
}

} // namespace

void AddTrack(TCurves &curves, TDispMode dispMode, bool rVis, bool xVis)
{
    const QString n = QString::number(curves.Count() / CurvesPerTrack(rVis, xVis) + 1);
    AddCurve(curves, QColor(255, 0, 0), axLeft, DispModeSymbol(dispMode) + u' ' + n);
    if (rVis)
        AddCurve(curves, QColor(0, 0, 255), axRight, QStringLiteral("R ") + n);
    if (xVis)
        AddCurve(curves, QColor(0, 255, 0), axRight, QStringLiteral("X ") + n);
}

void ClearTracks(TGraphM &graph)
{
    graph.Curves()->Clear();
    graph.SetMinYValue(1);
    graph.SetMaxYValue(2);
    graph.SetMinYRValue(0);
    graph.SetMaxYRValue(50);
    graph.SetScaleXY(100);
}

void KeepLastTrack(TCurves &curves, int perTrack)
{
    curves.BeginUpdate();
    while (curves.Count() > perTrack)
        curves.Delete(0);
    curves.EndUpdate();
}

void EmptyNewestTrack(TCurves &curves, int perTrack)
{
    for (int i = curves.Count() - perTrack; i < curves.Count(); ++i)
        if (i >= 0)
            curves.Items(i)->ClearPoints();
}

std::vector<TCsvTrack> VisibleTracks(const TCurves &curves, bool rVis, bool xVis)
{
    std::lock_guard<std::recursive_mutex> lock(curves.Mutex());
    // The curves of a track in their order, each with the field it fills.
    std::vector<std::optional<std::vector<TGraphPoint>> TCsvTrack::*> roles{&TCsvTrack::Main};
    if (rVis)
        roles.push_back(&TCsvTrack::R);
    if (xVis)
        roles.push_back(&TCsvTrack::X);
    const int perTrack = int(roles.size());
    std::vector<TCsvTrack> tracks;
    for (int first = 0; first < curves.Count(); first += perTrack) {
        TCsvTrack track;
        track.Name = curves.Items(first)->Caption();
        bool any = false;
        for (int k = 0; k < perTrack && first + k < curves.Count(); ++k) {
            const TCurve *c = curves.Items(first + k);
            if (!c->Visible())
                continue;
            const auto points = c->PointSpan();
            track.*roles[size_t(k)] = std::vector<TGraphPoint>(points.begin(), points.end());
            any = true;
        }
        if (any)
            tracks.push_back(std::move(track));
    }
    return tracks;
}

} // namespace Vantrel
