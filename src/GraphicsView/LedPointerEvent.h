#ifndef LEDPOINTEREVENT_H
#define LEDPOINTEREVENT_H

#include <QMetaType>
#include <QPointF>

// What the user did with the mouse on the panel, as the scene saw it: where, on
// which LED (-1 beside them), with which buttons and keys. The scene only looks;
// whoever edits decides what the event means.
struct LedPointerEvent
{
    QPointF scenePos;
    int led = -1;
    // The button that changed; none for a move.
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons = Qt::NoButton;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    // The second press of a double click.
    bool doubleClick = false;
};

Q_DECLARE_METATYPE(LedPointerEvent)

#endif // LEDPOINTEREVENT_H
