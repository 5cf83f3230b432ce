#pragma once

namespace Vantrel {

// What the main curve of a track shows. The numbers are those the settings
// file stores as "disp_mode".
enum class TDispMode { SWR = 0, Gamma = 1, ReturnLoss = 2 };

inline constexpr int DispModeCount = 3;

inline bool IsValidDispMode(int mode) { return mode >= 0 && mode < DispModeCount; }

// The main curve's value for a return loss in dB: SWR, Gamma, or the return
// loss itself.
double DisplayValue(TDispMode mode, double rl);

} // namespace Vantrel
