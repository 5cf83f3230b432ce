#include "Navigator.h"

#include "CurveDrawing.h"
#include "FastLines.h"
#include "GraphM.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr double kOpacity = 150.0 / 255.0;

QPen OnePixelPen(const QColor &color)
{
    QPen pen(color, 1);
    pen.setCosmetic(true);
    return pen;
}

} // namespace

TNavigator::TNavigator(TGraphM *graph)
    : QWidget(graph, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus),
      FGraph(graph)
{
    // The keyboard stays with the graph's window while the navigator shows.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowOpacity(kOpacity);
}

QSize TNavigator::ClientSize() const
{
    return size() - QSize(2 * kNavigatorBorder, 2 * kNavigatorBorder);
}

void TNavigator::SizeAndPlace()
{
    const QSize outer = NavigatorOuterSize(NavigatorClientSize(FGraph->size()));
    resize(outer);
    move(NavigatorTopLeft(FGraph->mapToGlobal(QPoint(0, 0)), FGraph->size(), outer));
}

void TNavigator::UpdateWin(const TNavRanges &ranges, bool sh)
{
    FRanges = ranges;
    FSh = sh;
    update();
}

QImage TNavigator::Picture()
{
    const QSize cs = ClientSize();
    QImage image = CurvesPicture(cs).copy();
    QPainter p(&image);
    if (FScale.Valid()) {
        FRN = NavigatorFrame(cs, FRanges, FScale);
        if (FSh) {
            p.setClipRect(1, 1, cs.width() - 1, cs.height() - 1);
            p.setPen(OnePixelPen(QColor(255, 0, 0)));
            p.drawRect(FRN.Left, FRN.Top, FRN.Right - FRN.Left - 1, FRN.Bottom - FRN.Top - 1);
            p.setClipping(false);
        }
    }
    const QString caption = windowTitle();
    if (!caption.isEmpty()) {
        QFont font = p.font();
        font.setPointSize(8);
        p.setFont(font);
        const QFontMetrics fm = p.fontMetrics();
        const QRect r(4, 2, fm.horizontalAdvance(caption), fm.height());
        p.fillRect(r, Qt::white);
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
    }
    return image;
}

const QImage &TNavigator::CurvesPicture(QSize cs)
{
    std::lock_guard<std::recursive_mutex> lock(FGraph->Mutex());
    const TCurves &curves = *FGraph->Curves();
    TCurvesKey key{cs, FRanges.MinX, FRanges.MaxX, FRanges.MinY, FRanges.MaxY, {}};
    key.Stamps.reserve(size_t(curves.Count()));
    for (int i = 0; i < curves.Count(); ++i)
        key.Stamps.push_back(curves.Items(i)->ChangeStamp());
    if (!FCurves.isNull() && key == FCurvesKey)
        return FCurves;

    FCurves = QImage(cs.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    FCurves.fill(Qt::white);
    {
        QPainter p(&FCurves);
        p.setPen(OnePixelPen(QColor(128, 128, 128)));
        p.drawRect(0, 0, cs.width() - 1, cs.height() - 1);
    }
    // Without curves there is nothing to re-centre on: a press then finds no
    // valid scale and leaves the graph alone.
    FScale = curves.Count() > 0 ? NavigatorScale(cs, FRanges) : TNavScale{};
    if (FScale.Valid())
        DrawCurves(FCurves);
    FCurvesKey = std::move(key);
    return FCurves;
}

void TNavigator::DrawCurves(QImage &image)
{
    // Curves may run over the right and bottom frame lines, never over the
    // left and top ones.
    const QSize cs = ClientSize();
    const QRect clip(1, 1, cs.width() - 1, cs.height() - 1);
    std::vector<QPoint> pixels;
    const TCurves &curves = *FGraph->Curves();
    for (int i = 0; i < curves.Count(); ++i) {
        const TCurve &c = *curves.Items(i);
        if (!c.Visible())
            continue;
        // Every curve goes against the left axis's range, whatever its axis.
        ForEachFiniteRun(
            c.PointSpan(), pixels, [&](const TGraphPoint &pt) { return NavigatorPixel(pt, cs, FRanges, FScale); },
            [&](std::span<const QPoint> run) {
                DrawCurveFast(image, run.data(), int(run.size()), c.Color().rgb(), 1, clip, false);
            });
    }
}

void TNavigator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(kNavigatorBorder, kNavigatorBorder, Picture());
}

void TNavigator::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QSize cs = ClientSize();
    const QPoint pos = event->position().toPoint() - QPoint(kNavigatorBorder, kNavigatorBorder);
    const TNavRect moved = CentreFrameOn(FRN, pos, cs);
    // The window keeps its span: only its corner is taken from the frame,
    // whose pixel-rounded edges would stretch the axes against the curves.
    if (const std::optional<TGraphPoint> corner = NavigatorWindowCorner(moved, cs, FRanges, FScale))
        FGraph->ShiftFromNavigator(corner->X, corner->Y);
}

// ---- the graph's side ----------------------------------------------------------

TNavRanges TGraphM::NavigatorRanges() const
{
    return {FMaxXValue, FMinXValue, FMaxYValue, FMinYValue, scMaxX, scMinX, scMaxY, scMinY};
}

void TGraphM::SetNavigator(bool value)
{
    if (value == FNavigator)
        return;
    FNavigator = value;
    if (!SmPan) {
        SmPan = new TNavigator(this);
        SmPan->setWindowTitle(FNavigatorText);
        SmPan->SizeAndPlace();
    }
    if (value) {
        SmPan->UpdateWin(NavigatorRanges(), Zoomed());
        SmPan->show();
        SmPan->raise();
    } else {
        SmPan->hide();
    }
}

void TGraphM::SetNavigatorText(const QString &value)
{
    FNavigatorText = value;
    if (SmPan) {
        SmPan->setWindowTitle(value);
        SmPan->update();
    }
}

void TGraphM::ShiftFromNavigator(double scX, double scY)
{
    const double w = scMaxX - scMinX;
    const double h = scMaxY - scMinY;
    scMinX = scX;
    scMaxX = scX + w;
    scMaxY = scY;
    scMinY = scY - h;
    RequestRepaint();
}

void TGraphM::UpdateNavigator()
{
    if (!SmPan)
        return;
    if (SmPan->ClientSize().width() != NavigatorClientSize(size()).width())
        SmPan->SizeAndPlace();
    SmPan->UpdateWin(NavigatorRanges(), Zoomed());
}
