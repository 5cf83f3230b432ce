#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>

#include <vector>

// Fast drawing of curve polylines straight into a 32-bit image.
//
// QPainter strokes pens wider than one pixel through its general path
// stroker, which is far too slow for a graph that redraws 90 curves of a
// thousand points on every new sample. These functions draw the same
// picture as an aliased QPainter with the graph's curve pen (round caps and
// round joins; a cosmetic pen for width 1) by filling a band along each
// segment and a disc around each point, row by row, within a clip rectangle.

// Reduces a run of mapped pixel points to the points that shape the drawn
// polyline: of every run of consecutive points in the same pixel column it
// keeps the first, the lowest, the highest and the last one, in their
// original order. Every other point of a run lies on the vertical stroke
// between those, so the picture is unchanged; no point is averaged or moved,
// so a one-sample dip survives.
// The result replaces the contents of out.
void DecimateColumns(const QPoint *pts, int n, std::vector<QPoint> &out);

// Drops, in place, the points that only shape the polyline beyond one edge
// of clip grown by margin: a point that lies beyond an edge together with the
// point kept before it and the one after it. The lines through it, and the
// line that replaces them, all stay beyond that edge, so with a margin wider
// than the pen nothing visible changes; the work then follows the visible
// part of a curve, not its length. The first and last points stay.
void DropHiddenPoints(std::vector<QPoint> &pts, const QRect &clip, int margin);

// Draws the polyline pts[0..n) with a solid opaque colour and a pen of the
// given width (values below 1 count as 1) into img, touching only pixels
// inside clip (which is also cut to the image). Points may lie anywhere in the
// int range: segments are cut to the clip in double precision first, so the
// work is bounded by the clipped length. img must be Format_RGB32,
// Format_ARGB32 or Format_ARGB32_Premultiplied (std::invalid_argument
// otherwise). A QPainter may be active on img: the raster engine does not
// cache pixels, so the writes simply land between its own. The shapes of
// short steps are rasterized once per thread and pen width and kept.
// Without endPixel a one-pixel line leaves out the pixel of its last point,
// as a move-to / line-to canvas does (unless another segment covers it);
// wider pens always end in a round cap.
void DrawPolylineFast(QImage &img, const QPoint *pts, int n, QRgb color, int width,
                      const QRect &clip, bool endPixel = true);

// What the graph calls for a curve without point marks: column decimation,
// the hidden points dropped, then DrawPolylineFast.
void DrawCurveFast(QImage &img, const QPoint *pts, int n, QRgb color, int width,
                   const QRect &clip, bool endPixel = true);
