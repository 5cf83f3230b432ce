#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <span>
#include <vector>

// Parts of the graph's picture kept between drawings, so that a drawing
// after one curve changed only draws that curve and the ones above it.
//
// Curves are drawn in index order, each over the ones before it, and the
// markers over all of them. So what can be kept is the background with the
// axes, and that picture with curves 0..k-1 drawn on it for some k.

// Everything the background, the axes and the mapping of curve points to
// pixels depend on, the curves themselves aside. Drawings with equal keys
// have the same background, axes and mapping.
struct TGraphSceneKey {
    QSize Size;
    bool Focus = false;
    QRgb Color = 0, ColorAxis = 0, ColorGrid = 0, ZoomTextColor = 0;
    bool GridX = false, GridY = false, ShowTextScale = false, Details = false;
    bool RightAxis = false; // some visible curve is on the right axis
    int Precision = 0, ScaleX = 0;
    double Ranges[6] = {}; // full ranges: X, left, right (min, max each)
    double Windows[6] = {};
    double SclKX = 0, SclKY = 0;
    // Label boxes and lengths from the drawing before, which an empty
    // window leaves in place.
    QRect RTextX, RTextY, RTextYr;
    int LenX = 0, LenY = 0;

    bool operator==(const TGraphSceneKey &) const = default;
};

// The fields a drawing of the background and axes leaves on the graph.
struct TGraphGeometry {
    int MargX = 0, LenX = 0, LenY = 0;
    QRect RTextX, RTextY, RTextYr;
    double VpDX = 0, VpDY = 0, VpDYr = 0;
};

// How a drawing over unchanged background and axes goes.
struct TLayerPlan {
    bool FromCurveLayer = false; // start from the curve layer, else from the background one
    int Start = 0;               // first curve to draw
    int Keep = 0;                // curves the curve layer holds after the drawing
    // The picture is copied into the curve layer before curve Keep is drawn.
    bool Snapshot() const { return !(FromCurveLayer && Keep == Start); }
};

// drawn: the curves' change stamps at the last drawing, in index order;
// layerCurves: how many of those the curve layer holds; now: the stamps now.
// The first curve that changed (or was added or removed) and everything
// after it is drawn again. The layer is then made to hold the curves below
// that one, as the same curve is likely to change next (a sweep grows its
// newest curve), but never the last curve, which a sweep grows too.
TLayerPlan PlanLayers(std::span<const quint64> drawn, int layerCurves, std::span<const quint64> now);

// The kept pictures and what they were drawn from.
struct TGraphLayers {
    bool Valid = false;
    TGraphSceneKey Key;
    TGraphGeometry Geometry; // left by the drawing of Back
    QImage Back;             // background and axes
    QImage Curves;           // Back with curves 0..CurveCount-1
    int CurveCount = 0;
    std::vector<quint64> Drawn; // stamps of all curves at the last drawing

    void Clear() { *this = TGraphLayers(); }
};

// Copies the pixels of from into to, reusing to's buffer when it has the
// same size and format. Throws std::bad_alloc when no buffer can be had.
void CopyPixels(const QImage &from, QImage &to);
