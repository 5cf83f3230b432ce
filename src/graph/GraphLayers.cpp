#include "GraphLayers.h"

#include <algorithm>
#include <cstring>
#include <new>

TLayerPlan PlanLayers(std::span<const quint64> drawn, int layerCurves, std::span<const quint64> now)
{
    const int n = int(now.size());
    const int common = int(std::min(drawn.size(), now.size()));
    int changed = 0;
    while (changed < common && drawn[size_t(changed)] == now[size_t(changed)])
        ++changed;
    const int keep = std::max(0, std::min(changed, n - 1));

    TLayerPlan plan;
    if (layerCurves <= changed) {
        // The layer's curves are all unchanged; it may grow, never shrink.
        plan.FromCurveLayer = true;
        plan.Start = layerCurves;
        plan.Keep = std::max(keep, layerCurves);
    } else {
        plan.Keep = keep;
    }
    return plan;
}

void CopyPixels(const QImage &from, QImage &to)
{
    if (to.size() != from.size() || to.format() != from.format()) {
        to = QImage(from.size(), from.format());
        if (to.isNull())
            throw std::bad_alloc();
    }
    std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
}
