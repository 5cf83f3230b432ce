#pragma once

#include "GraphM.h"

#include <QImage>

#include <memory>

// A graph of the given size with full ranges X 0..100, left 0..4 and right
// 0..8 (so a right value of 2y lies on the row of the left value y), no zoom
// text and no grid unless a test turns them on.
inline std::unique_ptr<TGraphM> MakeGraph(int w = 400, int h = 300)
{
    auto g = std::make_unique<TGraphM>();
    g->resize(w, h);
    g->SetShowTextScale(false);
    g->SetGridX(false);
    g->SetGridY(false);
    g->SetMinXValue(0);
    g->SetMaxXValue(100);
    g->SetMinYValue(0);
    g->SetMaxYValue(4);
    g->SetMinYRValue(0);
    g->SetMaxYRValue(8);
    return g;
}

inline TCurve *AddCurve(TGraphM &g, std::initializer_list<TGraphPoint> points,
                        const QColor &color = Qt::red, int thick = 1, TAxis axis = axLeft)
{
    TCurve *c = g.Curves()->Add();
    c->SetColor(color);
    c->SetThickLine(thick);
    c->SetAxis(axis);
    c->AddPoints(std::span<const TGraphPoint>(points.begin(), points.size()));
    return c;
}
