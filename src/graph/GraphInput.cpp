// The mouse, wheel, key, focus and hint handling of TGraphM, and the
// measuring figure painted over its picture.

#include "GraphM.h"

#include "GraphInteraction.h"
#include "Navigator.h"

#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

namespace {

// The hint asks again this often while it is shown, so it follows the cursor.
constexpr int kHintRequeryMs = 200;

} // namespace

// ---- mouse -----------------------------------------------------------------

void TGraphM::mousePressEvent(QMouseEvent *event)
{
    MousePress(event->button(), event->position().toPoint(), false);
}

void TGraphM::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Qt delivers the second press of a double click here.
    MousePress(event->button(), event->position().toPoint(), true);
}

void TGraphM::MousePress(Qt::MouseButton button, QPoint pos, bool doubleClick)
{
    HideHint();
    if (IsMeasureDown && IsMeasureMove)
        update(MeasureFigureBounds(MeasureFrom, MeasureTo)); // its figure goes
    IsShiftDown = false;
    IsMeasureDown = false;
    PHit = pos;
    switch (button) {
    case Qt::LeftButton:
        if (doubleClick) {
            ToggleMarker(pos);
        } else {
            IsMeasureDown = true;
            IsMeasureMove = false;
            MeasureFrom = pos;
        }
        break;
    case Qt::RightButton:
        IsShiftDown = true;
        break;
    default:
        break;
    }
}

void TGraphM::ToggleMarker(QPoint pos)
{
    std::vector<QPoint> pixels;
    pixels.reserve(Markers.size());
    for (const TGraphPoint &m : Markers)
        pixels.push_back(GraphPointToPoint(m));
    const int near = MarkerNear(pixels, pos);
    if (near >= 0) {
        Markers.erase(Markers.begin() + near);
        RequestRepaint();
    } else {
        const TGraphPoint m = PointToGraphPoint(PHit);
        AddMarker(m.X, m.Y);
    }
}

void TGraphM::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(this, pos);
    if (event->buttons() == Qt::NoButton && event->modifiers() == Qt::NoModifier)
        return;
    if (IsShiftDown && Zoomed() && pos != PHit) {
        IsShiftMove = true;
        ShiftView(pos);
    }
    if (IsMeasureDown && pos != MeasureFrom) {
        // Only the figure's old and new places are painted again: the
        // picture under them comes from the last drawing.
        QRect dirty = MeasureFigureBounds(MeasureFrom, pos);
        if (IsMeasureMove)
            dirty |= MeasureFigureBounds(MeasureFrom, MeasureTo);
        MeasureTo = pos;
        IsMeasureMove = true;
        update(dirty);
    }
}

void TGraphM::mouseReleaseEvent(QMouseEvent *event)
{
    if (FFocusFromClick) {
        // A click on a graph without the focus only focuses it; the states
        // of the press stay until the next one.
        FFocusFromClick = false;
        return;
    }
    if (IsShiftMove) {
        IsShiftMove = false;
        IsShiftDown = false;
    } else if (IsMeasureMove) {
        IsMeasureDown = false;
        IsMeasureMove = false;
        RequestRepaint();
    } else {
        IsMeasureDown = false;
        IsShiftDown = false;
        PHit = event->position().toPoint();
        if (event->button() == Qt::MiddleButton)
            SetScaleXY(100);
    }
}

void TGraphM::wheelEvent(QWheelEvent *event)
{
    // The graph keeps every wheel notification to itself.
    event->accept();
    if (!HasPlotData())
        return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const std::optional<bool> zoomIn = WheelZoomsIn(event->angleDelta(), shift);
    if (!zoomIn)
        return;
    PHit = event->position().toPoint();
    IsShiftDown = false;
    Zoom(ZoomTarget(FScaleMode, shift), ZoomStep(FStepScale, *zoomIn));
}

void TGraphM::Zoom(TZoomTarget target, int step)
{
    switch (target) {
    case TZoomTarget::X:
        SetScaleX(FScaleX + step);
        break;
    case TZoomTarget::Y:
        SetScaleY(FScaleY + step);
        break;
    case TZoomTarget::Both:
        SetScaleXY(FScaleX + step);
        break;
    }
}

void TGraphM::ShiftView(QPoint p)
{
    const TGraphPoint a = PointToGraphPoint(PHit);
    const TGraphPoint b = PointToGraphPoint(p);
    scMinX += a.X - b.X;
    scMaxX += a.X - b.X;
    ClampWindow(scMinX, scMaxX, FMinXValue, FMaxXValue);
    if (HasVisibleCurveOnAxis(axLeft)) {
        scMinY += a.Y - b.Y;
        scMaxY += a.Y - b.Y;
    }
    if (HasVisibleCurveOnAxis(axRight)) {
        const double d = PointToGraphPointR(PHit).Y - PointToGraphPointR(p).Y;
        scMinYr += d;
        scMaxYr += d;
    }
    PHit = p;
    RequestRepaint();
}

// ---- keys and focus ----------------------------------------------------------

void TGraphM::keyPressEvent(QKeyEvent *event)
{
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int key = event->key();
    if (keypad && (key == Qt::Key_Plus || key == Qt::Key_Minus)) {
        const bool zoomIn = key == Qt::Key_Plus;
        if (zoomIn || Zoomed()) {
            PHit = QPoint(-1, 0);
            Zoom(ZoomTarget(FScaleMode, shift), ZoomStep(FStepScale, zoomIn));
        }
        return;
    }
    if (keypad && key == Qt::Key_Asterisk) {
        SetScaleXY(100);
        return;
    }
    const QPoint q = ArrowPanCentre(width(), height(), MargX, MargY);
    if (const std::optional<QPoint> target = ArrowPanTarget(key, ctrl, q, width(), height(), MargX, MargY)) {
        // The arrows are the graph's own: they never move the focus.
        if (Zoomed()) {
            PHit = q;
            ShiftView(*target);
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void TGraphM::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    FFocusFromClick = event->reason() == Qt::MouseFocusReason;
    RequestRepaint(); // the focus frame
}

void TGraphM::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    FFocusFromClick = false;
    RequestRepaint();
}

// ---- hover hint --------------------------------------------------------------

bool TGraphM::FindPointOnCurve(QPoint p, int &ind, TGraphPoint &gp)
{
    ind = 0;
    const TGraphPoint g = PointToGraphPoint(p);
    const std::optional<double> tolX = SearchTolerance(scMaxX - scMinX, width() / 2);
    const std::optional<double> tolY = SearchTolerance(scMaxY - scMinY, height() / 6);
    if (!tolX || !tolY)
        return false;
    bool found = false;
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    for (int i = 0; i < FCurves->Count(); ++i) {
        const std::span<const TGraphPoint> points = FCurves->Items(i)->PointSpan();
        if (points.size() < 2)
            continue;
        const int hit = FindNearPoint(points, g, *tolX, *tolY);
        if (hit >= 0) {
            gp = points[size_t(hit)];
            ind = hit;
            found = true;
        }
    }
    return found;
}

void TGraphM::SetShowHint(bool value)
{
    FShowHint = value;
    if (!value)
        HideHint();
}

QString TGraphM::HintShown() const
{
    return FHint && FHint->isVisible() ? FHint->text() : QString();
}

bool TGraphM::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && FShowHint) {
        const auto *help = static_cast<QHelpEvent *>(event);
        QueryHint(help->pos(), help->globalPos());
        return true;
    }
    return QWidget::event(event);
}

void TGraphM::QueryHint(QPoint pos, QPoint globalPos)
{
    int ind = 0;
    TGraphPoint gp;
    if (!FindPointOnCurve(pos, ind, gp)) {
        HideHint();
        return;
    }
    if (!FHint) {
        FHint = new QLabel(this, Qt::ToolTip);
        FHint->setAutoFillBackground(true);
        QPalette pal = FHint->palette();
        pal.setColor(QPalette::Window, Qt::white);
        pal.setColor(QPalette::WindowText, Qt::black);
        FHint->setPalette(pal);
        FHint->setFrameStyle(QFrame::Box | QFrame::Plain);
        FHint->setMargin(2);
        FHintTimer = new QTimer(this);
        FHintTimer->setInterval(kHintRequeryMs);
        connect(FHintTimer, &QTimer::timeout, this, [this] {
            const QPoint cursor = QCursor::pos();
            if (rect().contains(mapFromGlobal(cursor)))
                QueryHint(mapFromGlobal(cursor), cursor);
            else
                HideHint();
        });
    }
    FHint->setText(HintText(ind, gp, FDecimalHint));
    FHint->adjustSize();
    FHint->move(globalPos + QPoint(0, 20)); // below the cursor
    FHint->show();
    FHintTimer->start();
}

void TGraphM::HideHint()
{
    if (!FHint)
        return;
    FHintTimer->stop();
    FHint->hide();
}

void TGraphM::leaveEvent(QEvent *event)
{
    HideHint();
    QWidget::leaveEvent(event);
}

// ---- painting ----------------------------------------------------------------

void TGraphM::paintEvent(QPaintEvent *event)
{
    const quint64 requests = FRepaintRequests.load();
    if (FPicture.isNull() || FPicture.size() != size() || requests != FPictureRequests) {
        // Taken before the drawing: a request made while it runs gets a
        // drawing of its own.
        FPictureRequests = requests;
        FSinceLastPaint.start();
        FPicture = DrawToBitmap();
        UpdateNavigator();
    }
    QPainter p(this);
    p.drawImage(event->rect(), FPicture, event->rect());
    if (IsMeasureDown && IsMeasureMove)
        DrawMeasureFigure(p);
}

void TGraphM::DrawMeasureFigure(QPainter &p) const
{
    QPen pen(QColor(0x00, 0x80, 0x00), 1, Qt::DashLine);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawLine(MeasureFrom, MeasureTo);
    const QRect r = QRect(MeasureFrom, MeasureTo).normalized();
    p.drawRect(r.x(), r.y(), r.width() - 1, r.height() - 1);
}

void TGraphM::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (SmPan)
        SmPan->SizeAndPlace();
}
