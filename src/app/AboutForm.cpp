#include "AboutForm.h"

#include "Version.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>

#include <cmath>

namespace {

QFont AboutFont(int pixelSize)
{
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    f.setPixelSize(pixelSize);
    return f;
}

QLabel *MakeLabel(QWidget *parent, const QString &text, QPoint at, int pixelSize, const QColor &color)
{
    auto *l = new QLabel(text, parent);
    l->setFont(AboutFont(pixelSize));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
    l->move(at);
    l->adjustSize();
    return l;
}

// A night-blue field with a faint chart grid and the dip of an SWR curve
// with the waves of a resonant antenna rising from it.
QPixmap DrawBackground(QSize size)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(8, 22, 48));
    sky.setColorAt(1, QColor(16, 70, 92));
    p.fillRect(pixmap.rect(), sky);

    const QRectF chart(20, 175, size.width() - 130, size.height() - 195);
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    for (int i = 0; i <= 8; ++i) {
        const double x = chart.left() + chart.width() * i / 8;
        p.drawLine(QPointF(x, chart.top()), QPointF(x, chart.bottom()));
    }
    for (int i = 0; i <= 3; ++i) {
        const double y = chart.top() + chart.height() * i / 3;
        p.drawLine(QPointF(chart.left(), y), QPointF(chart.right(), y));
    }

    // SWR = 1 + a steep dip around the resonance, as a tuned dipole reads.
    QPainterPath curve;
    const double dipX = chart.left() + chart.width() * 0.55;
    for (int i = 0; i <= 200; ++i) {
        const double x = chart.left() + chart.width() * i / 200;
        const double u = (x - dipX) / (chart.width() * 0.12);
        const double swr = 1.05 + 2.6 * u * u / (1 + u * u);
        const QPointF pt(x, chart.bottom() - (swr - 1) / 3 * chart.height());
        if (i == 0)
            curve.moveTo(pt);
        else
            curve.lineTo(pt);
    }
    p.setPen(QPen(QColor(80, 220, 255, 60), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    p.setPen(QPen(QColor(150, 240, 255), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);

    const QPointF source(dipX, chart.bottom() - 0.05 / 3 * chart.height());
    for (int i = 1; i <= 4; ++i) {
        const double r = 14.0 * i;
        p.setPen(QPen(QColor(255, 230, 90, 120 - 22 * i), 2));
        p.drawArc(QRectF(source.x() - r, source.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
    return pixmap;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("About"));
    setFont(AboutFont(11));
    setFixedSize(399, 266);

    imgBackground = new QLabel(this);
    imgBackground->setGeometry(0, 0, 400, 267);
    imgBackground->setPixmap(DrawBackground(imgBackground->size()));

    lbTitle = MakeLabel(this, QStringLiteral("Vantrel"), QPoint(19, 24), 27, Qt::yellow);
    lbCredit = MakeLabel(this, QStringLiteral("Antenna analyzer program"), QPoint(19, 60), 21, Qt::yellow);
    lbPlace = MakeLabel(this, QStringLiteral("Planet Earth, 2025"), QPoint(19, 89), 21, Qt::yellow);
    lbLink = MakeLabel(this, QUrl(QStringLiteral(VANTREL_HOMEPAGE)).host(), QPoint(23, 141), 21, QColor(90, 150, 255));
    QFont linkFont = lbLink->font();
    linkFont.setUnderline(true);
    lbLink->setFont(linkFont);
    lbLink->adjustSize();
    lbLink->setCursor(Qt::PointingHandCursor);
    lbLink->installEventFilter(this);
    lbVersion = MakeLabel(this, QStringLiteral("%1.%2").arg(VANTREL_VERSION_MAJOR).arg(VANTREL_VERSION_MINOR),
                          QPoint(334, 24), 15, Qt::yellow);

    btnOK = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    btnOK->setGeometry(306, 224, 75, 25);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmAbout::LinkClick()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral(VANTREL_HOMEPAGE)));
}

void TfrmAbout::showEvent(QShowEvent *event)
{
    // Centred on the screen, not over the main window.
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    QDialog::showEvent(event);
}

bool TfrmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lbLink && event->type() == QEvent::MouseButtonRelease) {
        const auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton && lbLink->rect().contains(e->position().toPoint())) {
            LinkClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
