#pragma once

#include <QFrame>
#include <QLineEdit>
#include <QPointer>

#include <functional>
#include <optional>

class QLabel;


// The digit editor of the frequency edits: while an attached edit has the
// focus, this panel sits just below it and shows its value in large digits.
// The wheel over a digit adds or subtracts that digit's place value, a
// double-click zeroes the digits right of it; every change goes back into the
// edit as a plain decimal integer. The arithmetic is in FreqDigits.
class TFreqDigitEditor : public QFrame
{
    Q_OBJECT
public:
    // The panel is a hidden child of window, placed in its coordinates.
    explicit TFreqDigitEditor(QWidget *window);

    // Opens the panel when edit receives the focus and closes it when edit
    // loses it.
    void Attach(QLineEdit *edit);

    // The upper limit of a wheel step up, asked at each step (the analyzer's
    // highest frequency; 0 before one has been identified).
    std::function<qint32()> MaxFreq;

    // The edit the panel works on; none while it is hidden.
    QLineEdit *FreqEdit() const { return FFreqEdit; }
    QLabel *Label() const { return lbFreqEdit; }

    void ShowFreqEdit(QLineEdit *edit);
    void HideFreqEdit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The character of the label's text under a point in the label's pixels;
    // -1 outside the label.
    int ColumnAt(QPointF p) const;
    bool Wheel(QPointF p, int delta);
    void DoubleClick(QPointF p);
    void SetValue(qint32 v);
    // A new value from a turn or a cut: into the panel and the edit.
    void Take(const std::optional<qint32> &v);

    QLabel *lbFreqEdit;
    QPointer<QLineEdit> FFreqEdit;
    qint32 FValue = 0;
};
