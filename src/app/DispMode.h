#pragma once

#include "Sweep.h"

#include <QString>

namespace Vantrel {

// Display modes: 0 SWR, 1 Gamma, 2 return loss in dB.
inline constexpr int DispModeCount = 3;
inline constexpr const char *DispModeNames[DispModeCount] = {"SWR", "Gamma", "Return loss"};
inline constexpr const char *DispModeShort[DispModeCount] = {"SWR", "G", "RL"};

inline bool IsValidDispMode(int mode) { return mode >= 0 && mode < DispModeCount; }

struct TValueRange { double Min, Max; };

// The left axis range that a change of display mode sets.
TValueRange DispModeLeftRange(int mode);

// The display-mode button's caption: the mode name with " R+X", " R" or " X".
QString DispModeCaption(int mode, bool rVis, bool xVis);

} // namespace Vantrel
