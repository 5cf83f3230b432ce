#pragma once

#include "GraphFixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

// Mouse and wheel input delivered to a graph as the window system would.

inline void SendMouse(QWidget &w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(pos), QPointF(w.mapToGlobal(pos)), button, buttons, mods);
    QApplication::sendEvent(&w, &e);
}

inline void Press(QWidget &w, Qt::MouseButton button, QPoint pos)
{
    SendMouse(w, QEvent::MouseButtonPress, pos, button, button);
}

inline void Move(QWidget &w, Qt::MouseButtons buttons, QPoint pos)
{
    SendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, buttons);
}

inline void Release(QWidget &w, Qt::MouseButton button, QPoint pos)
{
    SendMouse(w, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}

inline void Click(QWidget &w, Qt::MouseButton button, QPoint pos)
{
    Press(w, button, pos);
    Release(w, button, pos);
}

// The sequence a double click makes: press, release, double click, release.
inline void DoubleClick(QWidget &w, QPoint pos)
{
    Click(w, Qt::LeftButton, pos);
    SendMouse(w, QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton);
    Release(w, Qt::LeftButton, pos);
}

inline void Drag(QWidget &w, Qt::MouseButton button, QPoint from, QPoint to)
{
    Press(w, button, from);
    Move(w, button, to);
    Release(w, button, to);
}

// One wheel notification; dy < 0 turns the wheel towards the user.
inline bool Wheel(QWidget &w, QPoint pos, int dy, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWheelEvent e(QPointF(pos), QPointF(w.mapToGlobal(pos)), QPoint(), QPoint(0, dy), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &e);
    return e.isAccepted();
}
