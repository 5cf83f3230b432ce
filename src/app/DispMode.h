#pragma once

#include "DisplayValue.h"

#include <QString>

namespace Vantrel {

// Names of the display modes, by their number.
inline constexpr const char *DispModeNames[DispModeCount] = {"SWR", "Gamma", "Return loss"};
inline constexpr const char *DispModeShort[DispModeCount] = {"SWR", "G", "RL"};

struct TValueRange { double Min, Max; };

// The left axis range that a change of display mode sets.
TValueRange DispModeLeftRange(TDispMode mode);

// The display-mode button's caption: the mode name with " R+X", " R" or " X".
QString DispModeCaption(TDispMode mode, bool rVis, bool xVis);

// The mode's symbol in curve captions ("SWR", "G", "RL").
QString DispModeSymbol(TDispMode mode);

} // namespace Vantrel
