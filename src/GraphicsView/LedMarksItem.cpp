#include "GraphicsView/LedMarksItem.h"

LedMarksItem::LedMarksItem(qreal ledSize, qreal z)
    : m_Size(ledSize)
{
    setAcceptedMouseButtons(Qt::NoButton);
    setZValue(z);
}

void LedMarksItem::setCentres(const QVector<QPointF>& centres)
{
    prepareGeometryChange();
    m_Centres = centres;
    m_Bounds = QRectF();
    const qreal reach = 1.5 * m_Size;
    for (const QPointF& centre : centres)
        m_Bounds |= QRectF(centre - QPointF(reach, reach), centre + QPointF(reach, reach));
    update();
}

int LedMarksItem::count() const
{
    return m_Centres.size();
}

QRectF LedMarksItem::boundingRect() const
{
    return m_Bounds;
}
