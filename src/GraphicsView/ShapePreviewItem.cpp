#include "GraphicsView/ShapePreviewItem.h"

#include <QPainter>

// Above the LEDs, the onion skin and the selection's outline.
ShapePreviewItem::ShapePreviewItem(qreal ledSize, bool lit)
    : LedMarksItem(ledSize, 1000)
    , m_Lit(lit)
{
}

void ShapePreviewItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)
    const QColor mark(255, 140, 0);
    painter->setPen(QPen(mark, 0.3 * ledSize()));
    painter->setBrush(m_Lit ? QBrush(QColor(255, 200, 0, 200)) : QBrush(Qt::NoBrush));
    for (const QPointF& centre : centres())
        painter->drawEllipse(centre, 1.2 * ledSize(), 1.2 * ledSize());
}
