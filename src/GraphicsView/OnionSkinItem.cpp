#include "GraphicsView/OnionSkinItem.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsItem.h"

#include <QPainter>

OnionSkinItem::OnionSkinItem()
{
    setAcceptedMouseButtons(Qt::NoButton);
    // Above the panel body, whose children the LEDs are.
    setZValue(1);
}

QColor OnionSkinItem::color()
{
    return QColor(150, 140, 40);
}

AbstractLedGraphicsScene* OnionSkinItem::ledScene() const
{
    return qobject_cast<AbstractLedGraphicsScene*>(scene());
}

QVariant OnionSkinItem::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change == ItemSceneHasChanged) {
        prepareGeometryChange();
        const AbstractLedGraphicsScene* scene = ledScene();
        m_Bounds = scene ? scene->layout().sceneRect() : QRectF();
    }
    return QGraphicsItem::itemChange(change, value);
}

QRectF OnionSkinItem::boundingRect() const
{
    return m_Bounds;
}

void OnionSkinItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)

    const AbstractLedGraphicsScene* scene = ledScene();
    const LedStateCommand* frame = scene ? scene->frame() : nullptr;
    const CommandList* sequence = frame ? frame->sequence() : nullptr;
    // A loose frame, or one on its way out of its sequence, has no place in it.
    const int index = sequence && frame->parent() == sequence ? frame->index() : -1;
    if (index <= 0)
        return;
    const LedStateCommand* previous = sequence->frame(index - 1);

    const qreal s = scene->ledItemsSize();
    painter->save();
    painter->setPen(QPen(QBrush(Qt::black), 0.1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(color());
    const QList<LedGraphicsItem*> leds = scene->ledItems();
    const int common = qMin(leds.count(), previous->ledCount());
    for (int i = 0; i < common; ++i) {
        const LedData* now = leds.at(i)->ledData();
        if (now && now->intensity() <= 0 && previous->led(i)->intensity() > 0)
            painter->drawEllipse(leds.at(i)->scenePos(), s, s);
    }
    painter->restore();
}
