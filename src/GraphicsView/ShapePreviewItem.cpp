#include "GraphicsView/ShapePreviewItem.h"

#include <QPainter>

ShapePreviewItem::ShapePreviewItem(qreal ledSize, bool lit)
    : m_Size(ledSize)
    , m_Lit(lit)
{
    setAcceptedMouseButtons(Qt::NoButton);
    // Above the LEDs and the onion skin.
    setZValue(1000);
}

void ShapePreviewItem::setCentres(const QVector<QPointF>& centres)
{
    prepareGeometryChange();
    m_Centres = centres;
    m_Bounds = QRectF();
    const qreal reach = 1.5 * m_Size;
    for (const QPointF& centre : centres)
        m_Bounds |= QRectF(centre - QPointF(reach, reach), centre + QPointF(reach, reach));
    update();
}

int ShapePreviewItem::count() const
{
    return m_Centres.size();
}

QRectF ShapePreviewItem::boundingRect() const
{
    return m_Bounds;
}

void ShapePreviewItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)
    const QColor mark(255, 140, 0);
    painter->setPen(QPen(mark, 0.3 * m_Size));
    painter->setBrush(m_Lit ? QBrush(QColor(255, 200, 0, 200)) : QBrush(Qt::NoBrush));
    for (const QPointF& centre : qAsConst(m_Centres))
        painter->drawEllipse(centre, 1.2 * m_Size, 1.2 * m_Size);
}
