#pragma once

// Mouse input delivered straight to a widget, as the platform would send it: no window
// activation needed and no real pointer moved.

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPoint>
#include <QWheelEvent>
#include <QWidget>

namespace tarvo::test
{

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF local(at);
    QMouseEvent event(type, local, widget.mapToGlobal(local), button, held, modifiers);
    QCoreApplication::sendEvent(&widget, &event);
}

inline void Press(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    SendMouse(widget, QEvent::MouseButtonPress, at, button, button);
}

inline void Release(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    SendMouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

inline void MoveTo(QWidget& widget, QPoint at, Qt::MouseButtons held = Qt::NoButton)
{
    SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, held);
}

inline void ClickAt(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    Press(widget, at, button);
    Release(widget, at, button);
}

// Press, release, then the second press and release of a double click, as Qt delivers them.
inline void DoubleClickAt(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    ClickAt(widget, at, button);
    SendMouse(widget, QEvent::MouseButtonDblClick, at, button, button);
    Release(widget, at, button);
}

// A press at from, moves in a few steps to to, and the release there.
inline void Drag(QWidget& widget, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
{
    Press(widget, from, button);
    for (int step = 1; step <= 4; ++step)
        MoveTo(widget, from + (to - from) * step / 4, button);
    Release(widget, to, button);
}

// angleDelta units: 120 is one notch of a mouse wheel, away from the user.
inline void Wheel(QWidget& widget, QPoint at, int angleDelta)
{
    const QPointF local(at);
    QWheelEvent event(local, widget.mapToGlobal(local), QPoint(), QPoint(0, angleDelta), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace tarvo::test
