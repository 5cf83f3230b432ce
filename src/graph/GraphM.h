#pragma once

#include "Curves.h"
#include "GraphLayers.h"
#include "GraphPoint.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QLabel;
class QPainter;
class QTimer;
class TNavigator;
struct TNavRanges;
enum class TZoomTarget;

// X-Y chart control with one X axis and a left and a right value axis.
//
// The user zooms with the wheel and the keypad keys (+, -, * for the full
// view), pans with the arrow keys and by dragging with the right button,
// measures by dragging with the left one, toggles markers by double-clicking
// and returns to the full view with a middle click. A small navigator
// window can show the whole data (SetNavigator).
//
// Scale model: every axis has a full range (MinXValue..MaxXValue, ...) and a
// visible window (scMinX..scMaxX, ...). ScaleX / ScaleY are zooms in percent;
// at 100/100 every drawing resets the windows to the full ranges.
//
// Colours: QColor at the API, always opaque RGB.
//
// Threads: the widget, its properties, the zooms and Markers belong to the
// user-interface thread. Curves may also be written from a worker thread: all
// curve and collection members take Mutex(), and DrawToBitmap holds it for the
// whole drawing, so a point array can never grow while a paint walks it. A
// caller that needs several curve operations to appear as one (for example,
// find a curve and append to it while the UI thread may delete curves) holds
// Mutex() around them. A worker must not hold it while it waits for the UI
// thread. RequestRepaint() may be called from any thread; requests made
// before the next paint give one paint, and at most one a frame.
class TGraphM : public QWidget {
    Q_OBJECT

public:
    using TScaleChangeEvent = std::function<void(TGraphM *sender, int newScaleX, int newScaleY)>;
    using TMarkerGetTextEvent = std::function<void(TGraphM *sender, int index, QString &text)>;
    // Every mouse move over the control, before the graph reacts to it.
    using TMouseMoveEvent = std::function<void(TGraphM *sender, QPoint pos)>;

    explicit TGraphM(QWidget *parent = nullptr);
    ~TGraphM() override;

    QColor ColorAxis() const { return FColorAxis; }
    void SetColorAxis(const QColor &value);
    double MinXValue() const { return FMinXValue; }
    void SetMinXValue(double value);
    double MaxXValue() const { return FMaxXValue; }
    void SetMaxXValue(double value);
    double MinYValue() const { return FMinYValue; }
    void SetMinYValue(double value);
    double MaxYValue() const { return FMaxYValue; }
    void SetMaxYValue(double value);
    double MinYRValue() const { return FMinYRValue; }
    void SetMinYRValue(double value);
    double MaxYRValue() const { return FMaxYRValue; }
    void SetMaxYRValue(double value);
    QColor Color() const { return FColor; }
    void SetColor(const QColor &value);
    bool GridX() const { return FGridX; }
    void SetGridX(bool value);
    bool GridY() const { return FGridY; }
    void SetGridY(bool value);
    QColor ColorGrid() const { return FColorGrid; }
    void SetColorGrid(const QColor &value);
    TCurves *Curves() const { return FCurves.get(); }
    void SetCurves(const TCurves &value);
    int StepScale() const { return FStepScale; }
    void SetStepScale(int value);
    int DecimalHint() const { return FDecimalHint; }
    void SetDecimalHint(int value);
    bool ShowTextScale() const { return FShowTextScale; }
    void SetShowTextScale(bool value);
    bool Details() const { return FDetails; }
    void SetDetails(bool value);
    int Precision() const { return FPrecision; }
    void SetPrecision(int value);
    TScaleMode ScaleMode() const { return FScaleMode; }
    void SetScaleMode(TScaleMode value) { FScaleMode = value; }
    int ScaleX() const { return FScaleX; }
    void SetScaleX(int value);
    int ScaleY() const { return FScaleY; }
    void SetScaleY(int value);
    void SetScaleXY(int value);
    void SetAutoScaleY();
    void ScaleChange(TGraphM *source, int newScaleX, int newScaleY);

    TGraphPoint PointToGraphPoint(QPoint p);
    TGraphPoint PointToGraphPointR(QPoint p);
    QPoint GraphPointToPoint(const TGraphPoint &gp) const;

    bool HasVisibleCurve() const;
    bool HasVisibleCurveOnAxis(TAxis axis) const;
    bool HasPlotData() const;

    void AddMarker(double x, double y);
    void ClearMarkers();

    // The curve point near pixel p: of every curve with two points or more
    // (hidden ones and both axes too) the first point within half a window
    // width / W and a sixth of a window height / H of the left-axis values
    // at p; the last curve with such a point wins. ind is the point's index
    // within its curve. False, with ind 0 and gp untouched, when none is
    // near or the control is too small to give tolerances.
    bool FindPointOnCurve(QPoint p, int &ind, TGraphPoint &gp);
    // One pan step: moves the windows so that the data under PHit comes to
    // lie under p (X stays inside its full range, Y has no limit).
    void ShiftView(QPoint p);

    // The hover hint naming the curve point under the resting cursor; off
    // by default.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    // The text of the hint now shown; empty while none is (tests).
    QString HintShown() const;

    // The overview window (created hidden the first time it is turned on).
    bool Navigator() const { return FNavigator; }
    void SetNavigator(bool value);
    // Caption drawn inside the navigator; kept for a window made later.
    void SetNavigatorText(const QString &value);
    // Moves the X and left windows, unchanged in size, so that they start at
    // scX and end above at scY.
    void ShiftFromNavigator(double scX, double scY);
    // The navigator window; nullptr until Navigator was first turned on.
    TNavigator *NavigatorWindow() const { return SmPan; }
    // What the navigator is given: full ranges and windows of X and left Y.
    TNavRanges NavigatorRanges() const;
    // Zoomed in on either axis.
    bool Zoomed() const { return FScaleX > 100 || FScaleY > 100; }

    // The complete picture, W x H, Format_RGB32 (null for an empty control).
    // The caller gets a picture of its own.
    QImage DrawToBitmap();

    // Whether drawings keep the background, the axes and the curves below the
    // first changed one for the next drawing (on by default). The pictures
    // are the same either way; off, every drawing starts from scratch.
    bool LayerCache() const { return FLayerCache; }
    void SetLayerCache(bool value);
    // How many curves the drawings have drawn so far, those the layer cache
    // supplied not counted (diagnostics and tests).
    quint64 CurvesDrawn() const { return FCurvesDrawn; }

    // Marks the control for a repaint; safe from any thread. Requests give at
    // most one paint per display frame (kFrameMs), whoever makes them and
    // however often; paints the window system asks for are never held back.
    void RequestRepaint();
    static constexpr int kFrameMs = 16;
    // How many repaint requests were made so far (diagnostics and tests).
    quint64 RepaintRequests() const { return FRepaintRequests.load(); }

    std::recursive_mutex &Mutex() const { return FCurves->Mutex(); }

    // Makes the curve items of the collection; override to use a TCurve
    // subclass.
    virtual std::unique_ptr<TCurve> CreateCurve(TCurves &collection);

    // Read access to the geometry and zoom state of the last drawing.
    int GetLenX() const { return LenX; }
    int GetLenY() const { return LenY; }
    int GetMargX() const { return MargX; }
    int GetMargY() const { return MargY; }
    double GetSclKX() const { return SclKX; }
    double GetSclKY() const { return SclKY; }
    double GetVpDX() const { return VpDX; }
    double GetVpDY() const { return VpDY; }
    double GetVpDYr() const { return VpDYr; }
    QRect GetRTextX() const { return RTextX; }
    QRect GetRTextY() const { return RTextY; }
    QRect GetRTextYr() const { return RTextYr; }
    QPoint GetPHit() const { return PHit; }
    bool GetIsShiftDown() const { return IsShiftDown; }
    bool GetIsShiftMove() const { return IsShiftMove; }
    // Reference pixel of the zooms; x = -1 means the centre of the plot area.
    void SetPHit(QPoint value) { PHit = value; }

    TScaleChangeEvent OnScaleChange;
    TMarkerGetTextEvent OnMarkerGetText;
    TMouseMoveEvent OnMouseMove;

    double scMinY = 0, scMaxY = 0;
    double scMinYr = 0, scMaxYr = 0;
    double scMinX = 0, scMaxX = 0;
    std::vector<TGraphPoint> Markers;
    bool IsMeasureDown = false, IsMeasureMove = false;
    QPoint MeasureFrom, MeasureTo;

protected:
    // Paints the picture of the last drawing, drawn anew only after a
    // repaint request or a resize, and the measuring figure over it.
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void leaveEvent(QEvent *event) override;

    // Plot geometry from the last measured label boxes.
    void UpdateGeometry();
    // Pixels per unit of the curves; 0 where the full range or the plot is
    // empty, so that nothing is mapped onto a degenerate axis.
    double KX() const;
    double KY() const;
    double KYr() const;
    // Widens the full ranges to the data and resets the windows at 100 %.
    void ResetWindows();

    int LenX = 0;
    int LenY = 0;
    QPoint PHit{0, 0};
    int MargX = 0;
    const int MargY = 24;
    double VpDY = 0, VpDYr = 0, VpDX = 0;
    double SclKX = 1.0, SclKY = 1.0;
    bool IsShiftDown = false, IsShiftMove = false;
    QColor clTxtScale{220, 220, 220};
    QRect RTextX, RTextY, RTextYr;

private:
    struct TCurveBounds {
        quint64 Stamp = 0;
        double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
    };

    // UI thread: update() now, or when a frame has passed since the last paint.
    void ScheduleUpdate();
    QImage DrawPicture();
    void DrawBackground(QPainter &p);
    void DrawZoomText(QPainter &p);
    void DrawValueAxes(QPainter &p);
    void DrawXAxis(QPainter &p);
    QRect PlotClip() const;
    void DrawCurve(QPainter &p, const TCurve &c, const QRect &plot);
    void DrawMarkers(QPainter &p);
    void MeasureLabelBoxes(QPainter &p, bool left, bool right);
    TGraphSceneKey SceneKey() const;
    TGraphGeometry Geometry() const;
    void SetGeometry(const TGraphGeometry &g);
    // GetMinMax of curve i, walked again only after the curve changed.
    const TCurveBounds &CurveBounds(int i);

    void MousePress(Qt::MouseButton button, QPoint pos, bool doubleClick);
    void ToggleMarker(QPoint pos);
    void Zoom(TZoomTarget target, int step);
    void DrawMeasureFigure(QPainter &p) const;
    void QueryHint(QPoint pos, QPoint globalPos);
    void HideHint();
    // Brings the navigator up to date after a drawing.
    void UpdateNavigator();

    QColor FColorAxis{0, 0, 0};
    double FMinXValue = 0;
    double FMaxXValue = 100;
    double FMinYValue = 0;
    double FMaxYValue = 100;
    QColor FColor{255, 255, 255};
    bool FGridY = true;
    bool FGridX = true;
    QColor FColorGrid{192, 192, 192};
    std::unique_ptr<TCurves> FCurves;
    int FStepScale = 100;
    int FDecimalHint = 1;
    bool FShowTextScale = true;
    bool FDetails = false;
    int FPrecision = 1;
    int FScaleX = 100;
    int FScaleY = 100;
    TScaleMode FScaleMode = smXY;
    double FMaxYRValue = 100;
    double FMinYRValue = 0;

    std::atomic<quint64> FRepaintRequests{0};
    std::atomic<bool> FRepaintPosted{false};
    QElapsedTimer FSinceLastPaint;
    QTimer *FFrameTimer;
    std::vector<QPoint> FPixels; // mapped points of one curve, reused
    bool FLayerCache = true;
    quint64 FCurvesDrawn = 0;
    TGraphLayers FLayers;
    std::vector<TCurveBounds> FBounds; // by curve index

    QImage FPicture;                 // the last drawing, as on the screen
    quint64 FPictureRequests = ~0ull; // repaint requests it answers
    bool FFocusFromClick = false;    // the press under way gave the focus
    bool FShowHint = false;
    QLabel *FHint = nullptr;
    QTimer *FHintTimer = nullptr;
    TNavigator *SmPan = nullptr;     // a child window, deleted with the graph
    bool FNavigator = false;
    QString FNavigatorText;
};
