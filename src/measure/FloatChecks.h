#pragma once

#include <cmath>
#include <stdexcept>

// C++ does not trap floating-point faults; the program reports them the way
// the measurement code expects: as errors with these exact messages.
namespace Vantrel {

inline constexpr const char *kFloatDivByZero = "Floating point division by zero";
inline constexpr const char *kFloatInvalidOp = "Invalid floating point operation";

// num / den, raising the division-by-zero error for x / 0 and the
// invalid-operation error for 0 / 0 (and for NaN operands).
inline double CheckedDivide(double num, double den)
{
    if (std::isnan(num) || std::isnan(den))
        throw std::runtime_error(kFloatInvalidOp);
    if (den == 0.0)
        throw std::runtime_error(num == 0.0 ? kFloatInvalidOp : kFloatDivByZero);
    return num / den;
}

} // namespace Vantrel
