#pragma once

#include "DisplayValue.h"
#include "TrackCsv.h"

class TCurves;
class TGraphM;

namespace Vantrel {

// A track is what one sweep leaves on the graph: CurvesPerTrack consecutive
// curves (main, then R, then X when shown); the newest track is always the
// last CurvesPerTrack curves. Nothing else records where a track begins.

// Curves of one track: the main curve, then R and X when shown.
inline int CurvesPerTrack(bool rVis, bool xVis) { return 1 + (rVis ? 1 : 0) + (xVis ? 1 : 0); }

// Appends a new track: a red main curve captioned with the mode's symbol and
// the track number, then a blue R and a green X curve on the right axis.
void AddTrack(TCurves &curves, TDispMode dispMode, bool rVis, bool xVis);

// Removes every curve and resets the value ranges (left 1..2, right 0..50)
// and the zoom; the X range and the markers stay.
void ClearTracks(TGraphM &graph);

// Deletes curves from the front until only the newest track is left.
void KeepLastTrack(TCurves &curves, int perTrack);

// Empties the points of the newest track's curves; the curves stay.
void EmptyNewestTrack(TCurves &curves, int perTrack);

// The tracks for "Save data": each named by its main curve's caption, with
// only its visible curves; a track with none visible is left out. A trailing
// incomplete track (after curves were deleted one by one) counts by the
// curves it has.
std::vector<TCsvTrack> VisibleTracks(const TCurves &curves, bool rVis, bool xVis);

} // namespace Vantrel
