#include "GraphicsView/OnionSkinItem.h"

#include "GraphicsView/AbstractLedGraphicsScene.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>

OnionSkinItem::OnionSkinItem()
{
    setAcceptedMouseButtons(Qt::NoButton);
    // Above the panel.
    setZValue(1);
    setFlag(QGraphicsItem::ItemUsesExtendedStyleOption);
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
    Q_UNUSED(widget)

    const AbstractLedGraphicsScene* scene = ledScene();
    if (!scene)
        return;
    const QVector<int> previous = scene->previousValues();
    const QVector<int> now = scene->values();
    if (previous.isEmpty() || previous.size() != now.size())
        return;

    const LedLayout& layout = scene->layout();
    const qreal s = scene->ledItemsSize();
    const QRectF exposed = option->exposedRect.adjusted(-s, -s, s, s);
    painter->save();
    painter->setPen(QPen(QBrush(Qt::black), 0.1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(color());
    for (int i = 0; i < now.size(); ++i) {
        if (now.at(i) <= 0 && previous.at(i) > 0) {
            const QPointF centre = layout.ledPositionOf(i);
            if (exposed.contains(centre))
                painter->drawEllipse(centre, s, s);
        }
    }
    painter->restore();
}
