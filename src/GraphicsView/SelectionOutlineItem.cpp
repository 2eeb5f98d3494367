#include "GraphicsView/SelectionOutlineItem.h"

#include <QPainter>

SelectionOutlineItem::SelectionOutlineItem(qreal ledSize)
    : m_Size(ledSize)
{
    setAcceptedMouseButtons(Qt::NoButton);
    // Above the LEDs, below a shape's preview.
    setZValue(900);
}

void SelectionOutlineItem::setCentres(const QVector<QPointF>& centres)
{
    prepareGeometryChange();
    m_Centres = centres;
    m_Bounds = QRectF();
    const qreal reach = 1.5 * m_Size;
    for (const QPointF& centre : centres)
        m_Bounds |= QRectF(centre - QPointF(reach, reach), centre + QPointF(reach, reach));
    update();
}

int SelectionOutlineItem::count() const
{
    return m_Centres.size();
}

QRectF SelectionOutlineItem::boundingRect() const
{
    return m_Bounds;
}

void SelectionOutlineItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)
    // Cosmetic, so the dashes stay readable at any zoom; white under black shows on lit and dark LEDs.
    QPen pen(Qt::white, 0);
    painter->setBrush(Qt::NoBrush);
    const qreal half = 1.3 * m_Size;
    for (int pass = 0; pass < 2; ++pass) {
        painter->setPen(pen);
        for (const QPointF& centre : qAsConst(m_Centres))
            painter->drawRect(QRectF(centre - QPointF(half, half), centre + QPointF(half, half)));
        pen.setColor(Qt::black);
        pen.setStyle(Qt::DashLine);
    }
}
