#pragma once

#include "RepThread.h"

#include <functional>

class TGraphM;

namespace Vantrel {

// The repeat mode's tracks on the graph. The worker's colour changes and
// points take the graph's lock, so they never run during a paint or a change
// of the curve collection.
class TRepeatGraphTracks : public TRepeatTracks
{
public:
    // addTrack appends a new track as the window's settings say and
    // returns them; updateTracks refreshes the tracks window.
    TRepeatGraphTracks(TGraphM &graph, std::function<TCycleStart()> addTrack, std::function<void()> updateTracks);

    TCycleStart StartCycle() override;
    void SetCurveColor(int index, TRgb color) override;
    void AddPoint(int index, double x, double y) override;
    void TrimTracks(int keepCurves) override;

private:
    TGraphM &FGraph;
    std::function<TCycleStart()> FAddTrack;
    std::function<void()> FUpdateTracks;
};

} // namespace Vantrel
