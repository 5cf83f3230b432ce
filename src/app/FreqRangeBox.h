#pragma once

#include "AmateurBands.h"

#include <QGroupBox>

#include <vector>

class QComboBox;
class QLineEdit;
class QToolButton;

// The " Frequency range " box that drops down under the range button: start,
// stop and number of intervals as texts, with OK and Cancel. It checks
// nothing itself; the main window checks and applies the texts on Accepted.
// Its band list fills start and stop with a band's range.
class TFreqRangeBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit TFreqRangeBox(QWidget *parent);

    // Fills the edits and shows the box at pos, on top of its siblings.
    void ShowAt(QPoint pos, qint32 start, qint32 stop, qint32 points);
    // Hides the box; when one of its edits had the focus it goes to
    // focusTo, not to the next control in the tab order.
    void HideTo(QWidget *focusTo);
    // The bands the list offers, after an empty entry that picks none.
    void SetBands(std::vector<Vantrel::TBand> bands);

    QLineEdit *edStartFreq, *edStopFreq, *edPoints;
    QToolButton *btnFreqRangeOK, *cancelButton;
    QComboBox *bandComboBox;

signals:
    // OK pressed, or Enter in one of the edits.
    void Accepted();
    void Cancelled();

private:
    void BandPicked(int index);

    std::vector<Vantrel::TBand> FBands;
};
