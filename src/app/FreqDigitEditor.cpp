#include "FreqDigitEditor.h"

#include "FreqDigits.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

using namespace Vantrel;

namespace {

// Courier New where it is installed, else a monospaced face of the same
// metrics; the column arithmetic needs every character equally wide.
QFont DigitFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPixelSize(29);
    f.setBold(true);
    return f;
}

} // namespace

TFreqDigitEditor::TFreqDigitEditor(QWidget *window) : QFrame(window), lbFreqEdit(new QLabel(this))
{
    setObjectName(QStringLiteral("pnFreqEdit"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    lbFreqEdit->setObjectName(QStringLiteral("lbFreqEdit"));
    lbFreqEdit->setFont(DigitFont());
    lbFreqEdit->setText(QStringLiteral("005.000.000"));
    // 187 pixels hold the eleven characters in Courier New; a stand-in face
    // may be a little wider, and a cut digit could not be turned.
    const int w = std::max(187, int(std::ceil(QFontMetricsF(lbFreqEdit->font()).horizontalAdvance(lbFreqEdit->text()))));
    lbFreqEdit->setGeometry(6, -2, w, 33);
    resize(w + 12, 28);
    lbFreqEdit->installEventFilter(this);
    hide();
}

void TFreqDigitEditor::Attach(QLineEdit *edit)
{
    edit->installEventFilter(this);
}

void TFreqDigitEditor::ShowFreqEdit(QLineEdit *edit)
{
    FFreqEdit = edit;
    // Below the edit, 16 pixels in from its left edge, in front of the rest.
    move(parentWidget()->mapFromGlobal(edit->mapToGlobal(QPoint(16, edit->height()))));
    raise();
    SetValue(FreqDigits::FromEditText(edit->text()));
    show();
}

void TFreqDigitEditor::HideFreqEdit()
{
    FFreqEdit = nullptr;
    hide();
}

void TFreqDigitEditor::SetValue(qint32 v)
{
    FValue = v;
    lbFreqEdit->setText(FreqDigits::PanelText(v));
}

int TFreqDigitEditor::ColumnAt(QPointF p) const
{
    if (!lbFreqEdit->rect().contains(p.toPoint()))
        return -1;
    return FreqDigits::ColumnAt(p.x(), QFontMetricsF(lbFreqEdit->font()).horizontalAdvance(QLatin1Char('0')));
}

bool TFreqDigitEditor::Wheel(QPointF p, int delta)
{
    if (!FFreqEdit || !lbFreqEdit->rect().contains(p.toPoint()))
        return false;
    // Over the label every turn is taken, also over the points or with a
    // delta of 0, so that it never scrolls or zooms what lies behind.
    Take(FreqDigits::Wheel(FValue, ColumnAt(p), delta, MaxFreq ? MaxFreq() : 0));
    return true;
}

void TFreqDigitEditor::DoubleClick(QPointF p)
{
    if (!FFreqEdit)
        return;
    Take(FreqDigits::ZeroRight(FValue, ColumnAt(p)));
}

void TFreqDigitEditor::Take(const std::optional<qint32> &v)
{
    if (!v)
        return;
    SetValue(*v);
    FFreqEdit->setText(QString::number(*v));
}

bool TFreqDigitEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lbFreqEdit) {
        if (event->type() == QEvent::Wheel) {
            auto *e = static_cast<QWheelEvent *>(event);
            return Wheel(e->position(), e->angleDelta().y());
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            DoubleClick(static_cast<QMouseEvent *>(event)->position());
            return true;
        }
    } else if (auto *edit = qobject_cast<QLineEdit *>(watched)) {
        if (event->type() == QEvent::FocusIn)
            ShowFreqEdit(edit);
        else if (event->type() == QEvent::FocusOut && FFreqEdit == edit)
            HideFreqEdit();
    }
    return QFrame::eventFilter(watched, event);
}
