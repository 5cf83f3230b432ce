#include "FreqRangeBox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace {

QToolButton *MakeBoxButton(QWidget *parent, QStyle::StandardPixmap icon, const QRect &geometry)
{
    auto *b = new QToolButton(parent);
    b->setIcon(QApplication::style()->standardIcon(icon));
    b->setAutoRaise(true);
    b->setGeometry(geometry);
    return b;
}

} // namespace

TFreqRangeBox::TFreqRangeBox(QWidget *parent) : QGroupBox(QStringLiteral(" Frequency range "), parent)
{
    resize(145, 140);
    setAutoFillBackground(true);
    const char *labels[] = {"Start freq", "Stop freq", "Points"};
    QLineEdit **edits[] = {&edStartFreq, &edStopFreq, &edPoints};
    const char *texts[] = {"1000000", "30000000", "100"};
    for (int i = 0; i < 3; ++i) {
        auto *l = new QLabel(QString::fromLatin1(labels[i]), this);
        l->move(8, 22 + i * 26);
        *edits[i] = new QLineEdit(QString::fromLatin1(texts[i]), this);
        (*edits[i])->setAlignment(Qt::AlignRight);
        (*edits[i])->setGeometry(62, 18 + i * 26, 75, 21);
        connect(*edits[i], &QLineEdit::returnPressed, this, &TFreqRangeBox::Accepted);
    }
    btnFreqRangeOK = MakeBoxButton(this, QStyle::SP_DialogApplyButton, QRect(62, 104, 32, 28));
    cancelButton = MakeBoxButton(this, QStyle::SP_DialogCancelButton, QRect(104, 104, 32, 28));
    connect(btnFreqRangeOK, &QToolButton::clicked, this, &TFreqRangeBox::Accepted);
    connect(cancelButton, &QToolButton::clicked, this, &TFreqRangeBox::Cancelled);
    hide();
}

void TFreqRangeBox::ShowAt(QPoint pos, qint32 start, qint32 stop, qint32 points)
{
    move(pos);
    edStartFreq->setText(QString::number(start));
    edStopFreq->setText(QString::number(stop));
    edPoints->setText(QString::number(points));
    raise();
    show();
}

void TFreqRangeBox::HideTo(QWidget *focusTo)
{
    // Hiding the box with the focus in one of its edits would pass the focus
    // on to the port list, where the next keystroke replaces the port name.
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    hide();
    if (hadFocus && focusTo)
        focusTo->setFocus();
}
