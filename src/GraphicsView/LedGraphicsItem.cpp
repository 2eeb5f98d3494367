#include "GraphicsView/LedGraphicsItem.h"

#include "Data/LedData.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "Painter/LedPanelPainter.h"

#include <QGraphicsSceneMouseEvent>

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
    ledScene->panelPainter().drawLedAt(painter, QPointF(0, 0), m_pLedData->intensity() > 0);
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
