#include "GraphicsView/LedGraphicsItem.h"

#include "Data/LedData.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>

LedGraphicsItem::LedGraphicsItem(QGraphicsItem* parent)
    : QGraphicsItem(parent)
    , m_pLedData(nullptr)
    , m_Index(-1)
{
    setFlag(QGraphicsItem::ItemIsSelectable);
}

AbstractLedGraphicsScene* LedGraphicsItem::scene() const
{
    return qobject_cast<AbstractLedGraphicsScene*>(QGraphicsItem::scene());
}

LedData* LedGraphicsItem::ledData() const
{
    return m_pLedData;
}

int LedGraphicsItem::ledIndex() const
{
    return m_Index;
}

void LedGraphicsItem::setLedIndex(int index)
{
    m_Index = index;
}

QRectF LedGraphicsItem::boundingRect() const
{
    if (!m_pLedData)
        return QRectF();
    const AbstractLedGraphicsScene* ledScene = scene();
    const qreal s = ledScene ? ledScene->ledItemsSize() : 0.0;
    return QRectF(-s, -s, 2 * s, 2 * s);
}

QPainterPath LedGraphicsItem::shape() const
{
    QPainterPath path;
    if (!m_pLedData)
        return path;
    const AbstractLedGraphicsScene* ledScene = scene();
    const qreal s = ledScene ? ledScene->ledItemsSize() : 0.0;
    path.addEllipse(QPointF(0, 0), s, s);
    return path;
}

void LedGraphicsItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)

    const AbstractLedGraphicsScene* ledScene = scene();
    if (!m_pLedData || !ledScene)
        return;
    const qreal s = ledScene->ledItemsSize();

    painter->save();
    painter->setPen(QPen(QBrush(Qt::black), 0.1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(QBrush(m_pLedData->intensity() > 0 ? Qt::yellow : Qt::darkGray));
    painter->drawEllipse(QPointF(0, 0), s, s);
    painter->restore();
}

void LedGraphicsItem::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pLedData) {
        setSelected(false);
        if (AbstractLedGraphicsScene* ledScene = scene())
            ledScene->toggleLed(m_Index);
    }
    QGraphicsItem::mousePressEvent(event);
}

void LedGraphicsItem::setLedData(LedData* ledData)
{
    if (m_pLedData == ledData)
        return;
    prepareGeometryChange();
    m_pLedData = ledData;
    update();
}
