#include "GraphicsView/LedPanelBodyItem.h"

LedPanelBodyItem::LedPanelBodyItem(const LedPanelPainter& painter)
    : m_Painter(painter)
    , m_Bounds(painter.bodyRect())
{
}

QRectF LedPanelBodyItem::boundingRect() const
{
    return m_Bounds;
}

void LedPanelBodyItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)
    m_Painter.drawBody(painter);
}
