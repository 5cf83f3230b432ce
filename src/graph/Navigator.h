#pragma once

#include "NavigatorMap.h"

#include <QImage>
#include <QWidget>

#include <vector>

class TGraphM;

// A small overview of a graph: the whole data in a frameless, always-on-top,
// semi-transparent tool window over the graph's bottom-right corner, with a
// red frame around the part the zoomed graph shows. A left press re-centres
// the graph's view on the pressed point.
//
// The graph creates it (TGraphM::SetNavigator) as its child window, so it is
// destroyed with the graph. Client coordinates below are those inside the
// 2-pixel white band around the picture.
class TNavigator : public QWidget {
    Q_OBJECT

public:
    explicit TNavigator(TGraphM *graph);

    // Takes the graph's ranges and whether to frame the visible window, and
    // repaints.
    void UpdateWin(const TNavRanges &ranges, bool sh);

    // Client size, and the place over the graph (algorithm of the graph's
    // resize and paint).
    void SizeAndPlace();

    // The picture of the client area (the paint handler's drawing); it also
    // keeps the scale that the next press works with.
    QImage Picture();

    TGraphM *Graph() const { return FGraph; }
    QSize ClientSize() const;
    const TNavRanges &Ranges() const { return FRanges; }
    bool Sh() const { return FSh; }
    TNavRect RN() const { return FRN; }
    double KX() const { return FScale.KX; }
    double KY() const { return FScale.KY; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    // What the curves' picture depends on: the client size, the full ranges
    // and every curve as it is drawn.
    struct TCurvesKey {
        QSize Client;
        double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
        std::vector<quint64> Stamps;
        bool operator==(const TCurvesKey &) const = default;
    };

    // The frame and the curves, drawn again only when their key changed: a
    // press moves only the frame of the visible window.
    const QImage &CurvesPicture(QSize client);
    void DrawCurves(QImage &image);

    TGraphM *FGraph;
    TNavRanges FRanges;
    bool FSh = false;
    TNavRect FRN;
    TNavScale FScale; // of the last paint that had curves to draw
    TCurvesKey FCurvesKey;
    QImage FCurves;
};
