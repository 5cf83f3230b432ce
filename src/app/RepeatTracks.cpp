#include "RepeatTracks.h"

#include "GraphM.h"

#include <mutex>
#include <stdexcept>

namespace Vantrel {

namespace {

// The worker found its curve gone: the tracks were changed under it.
TCurve &CurveAt(TCurves &curves, int index)
{
    if (index < 0 || index >= curves.Count())
        throw std::runtime_error("The tracks changed while the repeat mode ran: curve " + std::to_string(index) +
                                 " no longer exists");
    return *curves.Items(index);
}

} // namespace

TRepeatGraphTracks::TRepeatGraphTracks(TGraphM &graph, std::function<TCycleStart()> addTrack,
                                       std::function<void()> updateTracks)
    : FGraph(graph), FAddTrack(std::move(addTrack)), FUpdateTracks(std::move(updateTracks))
{
}

TCycleStart TRepeatGraphTracks::StartCycle()
{
    TCycleStart c = FAddTrack();
    // At 100 % the next drawing resets the window to the full range; until
    // then (right after Start) the window of the last drawing is stale.
    const bool full = FGraph.ScaleX() == 100;
    c.VisibleMinX = full ? FGraph.MinXValue() : FGraph.scMinX;
    c.VisibleMaxX = full ? FGraph.MaxXValue() : FGraph.scMaxX;
    c.CurveCount = FGraph.Curves()->Count();
    return c;
}

void TRepeatGraphTracks::SetCurveColor(int index, TRgb color)
{
    std::lock_guard lock(FGraph.Mutex());
    CurveAt(*FGraph.Curves(), index).SetColor(QColor(color.R, color.G, color.B));
}

void TRepeatGraphTracks::AddPoint(int index, double x, double y)
{
    std::lock_guard lock(FGraph.Mutex());
    CurveAt(*FGraph.Curves(), index).AddPoint(x, y);
}

void TRepeatGraphTracks::TrimTracks(int keepCurves)
{
    TCurves &curves = *FGraph.Curves();
    curves.BeginUpdate();
    while (curves.Count() > keepCurves)
        curves.Delete(0);
    curves.EndUpdate();
    FUpdateTracks();
}

} // namespace Vantrel
