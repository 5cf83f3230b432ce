#include "FreqRangeBox.h"

#include <QApplication>
#include <QComboBox>
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
    // Taller than the 140 pixels of old by the band row.
    resize(145, 166);
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
    auto *bandLabel = new QLabel(QStringLiteral("Band"), this);
    bandLabel->move(8, 100);
    bandComboBox = new QComboBox(this);
    bandComboBox->setGeometry(62, 96, 75, 21);
    connect(bandComboBox, &QComboBox::activated, this, &TFreqRangeBox::BandPicked);
    btnFreqRangeOK = MakeBoxButton(this, QStyle::SP_DialogApplyButton, QRect(62, 130, 32, 28));
    cancelButton = MakeBoxButton(this, QStyle::SP_DialogCancelButton, QRect(104, 130, 32, 28));
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

void TFreqRangeBox::SetBands(std::vector<Vantrel::TBand> bands)
{
    FBands = std::move(bands);
    bandComboBox->clear();
    bandComboBox->addItem(QString());
    for (const Vantrel::TBand &b : FBands)
        bandComboBox->addItem(b.Name);
}

void TFreqRangeBox::BandPicked(int index)
{
    if (index < 1 || index > int(FBands.size()))
        return;
    const Vantrel::TBand &b = FBands[size_t(index - 1)];
    edStartFreq->setText(QString::number(b.Start));
    edStopFreq->setText(QString::number(b.Stop));
}
