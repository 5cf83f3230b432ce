#pragma once

// Mouse input for the digit editor's panel, as a window receives it.

#include "FreqDigitEditor.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

// The middle of character col of the panel text, in window's pixels.
inline QPoint DigitCentre(const TFreqDigitEditor &editor, int col, const QWidget &window)
{
    const QLabel *label = editor.Label();
    const double w = QFontMetricsF(label->font()).horizontalAdvance(QLatin1Char('0'));
    return label->mapTo(&window, QPoint(int((col + 0.5) * w), label->height() / 2));
}

// A wheel turn at a point of window, delivered as Qt delivers one: to the
// widget under the point, then up through its parents while not taken.
inline void WheelAt(QWidget &window, QPoint at, int delta)
{
    QWidget *target = window.childAt(at);
    if (!target)
        target = &window;
    QWheelEvent e(target->mapFrom(&window, at), window.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    // As from the window system: Qt passes only those on to the parents (and
    // sendEvent would clear the mark).
    QSpontaneKeyEvent::setSpontaneous(&e);
    qApp->notify(target, &e);
}
