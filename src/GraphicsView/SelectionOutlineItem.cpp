#include "GraphicsView/SelectionOutlineItem.h"

#include <QPainter>

// Above the LEDs, below a shape's preview.
SelectionOutlineItem::SelectionOutlineItem(qreal ledSize)
    : LedMarksItem(ledSize, 900)
{
}

void SelectionOutlineItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)
    // Cosmetic, so the dashes stay readable at any zoom; white under black shows on lit and dark LEDs.
    QPen pen(Qt::white, 0);
    painter->setBrush(Qt::NoBrush);
    const qreal half = 1.3 * ledSize();
    for (int pass = 0; pass < 2; ++pass) {
        painter->setPen(pen);
        for (const QPointF& centre : centres())
            painter->drawRect(QRectF(centre - QPointF(half, half), centre + QPointF(half, half)));
        pen.setColor(Qt::black);
        pen.setStyle(Qt::DashLine);
    }
}
