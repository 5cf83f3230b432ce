#pragma once

#include "GraphPoint.h"

#include <QColor>
#include <QString>

#include <mutex>
#include <span>
#include <vector>

class TCurves;

// One named series of (X, Y) points, kept in the order they were appended.
//
// Thread safety: every member locks the owning collection's mutex
// (TCurves::Mutex(), which is the graph's drawing lock), so a worker thread may
// append points or change the colour while the user-interface thread paints.
// PointSpan() is the one exception: it hands out the storage itself and is
// only valid while the caller holds that mutex.
//
// Colours are opaque 24-bit RGB; an alpha channel given to SetColor is dropped.
class TCurve {
public:
    // Curves are made by TCurves::Add; the collection owns them.
    explicit TCurve(TCurves &collection);
    virtual ~TCurve() = default;
    TCurve(const TCurve &) = delete;
    TCurve &operator=(const TCurve &) = delete;

    virtual const char *ClassName() const { return "TCurve"; }

    TCurves &Collection() const { return FCollection; }
    int Index() const;

    QString Caption() const;
    void SetCaption(const QString &value);
    QColor Color() const;
    void SetColor(const QColor &value);
    int ThickLine() const;
    void SetThickLine(int value);
    bool Details() const;
    void SetDetails(bool value);
    bool Visible() const;
    void SetVisible(bool value);
    TAxis Axis() const;
    void SetAxis(TAxis value);

    void AddPoint(double aX, double aY);
    // Throws "X and Y arrays have different lengths" and changes nothing when
    // the lengths differ.
    void AddPoints(std::span<const double> aX, std::span<const double> aY);
    void AddPoints(std::span<const TGraphPoint> p);
    void ClearPoints();
    // Ascending by X; not stable. Makes no repaint request.
    void Sort();

    // Out-of-range indices give (0, 0).
    void GetPoint(int index, double &aX, double &aY) const;
    TGraphPoint Points(int index) const;
    int Count() const;
    // Leaves the four values untouched when there are no points. Only finite
    // values count; X or Y without any finite value gives NaN for its bounds.
    void GetMinMax(double &minX, double &maxX, double &minY, double &maxY) const;

    void BeginUpdate();
    void EndUpdate();
    void Invalidate();

    // Copies Color, ThickLine, Details (through the setters) and Caption.
    // A null source throws "Cannot assign a nil to a TCurve".
    void Assign(const TCurve *source);

    // The point storage; valid only while Collection().Mutex() is held.
    std::span<const TGraphPoint> PointSpan() const { return pta; }

    // Changes whenever the points, Color, ThickLine, Details, Visible or
    // Axis change. Stamps are unique over all curves of the process, so an
    // equal stamp means the same curve, drawn the same way.
    quint64 ChangeStamp() const;

private:
    std::recursive_mutex &Mutex() const;
    void Touch();
    void Changed();

    TCurves &FCollection;
    int FThickLine = 1;
    QColor FColor{0, 0, 0};
    bool FDetails = false;
    QString FCaption;
    bool FVisible = true;
    int UpdateCnt = 0;
    TAxis FAxis = axLeft;
    std::vector<TGraphPoint> pta;
    quint64 FStamp;
};

// The in-place quicksort used by TCurve::Sort, on indices L..R inclusive.
void SortGraphPointsByX(TGraphPoint *points, int L, int R);
