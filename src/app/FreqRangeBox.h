#pragma once

#include <QGroupBox>

class QLineEdit;
class QToolButton;

// The " Frequency range " box that drops down under the range button: start,
// stop and number of intervals as texts, with OK and Cancel. It checks
// nothing itself; the main window checks and applies the texts on Accepted.
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

    QLineEdit *edStartFreq, *edStopFreq, *edPoints;
    QToolButton *btnFreqRangeOK, *cancelButton;

signals:
    // OK pressed, or Enter in one of the edits.
    void Accepted();
    void Cancelled();
};
