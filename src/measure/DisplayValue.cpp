#include "DisplayValue.h"

#include "Conversions.h"

namespace Vantrel {

double DisplayValue(TDispMode mode, double rl)
{
    switch (mode) {
    case TDispMode::SWR: return RLToSWR(rl);
    case TDispMode::Gamma: return RLToGamma(rl);
    case TDispMode::ReturnLoss: break;
    }
    return rl;
}

} // namespace Vantrel
