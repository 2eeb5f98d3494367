#ifndef LEDPANELBODYITEM_H
#define LEDPANELBODYITEM_H

#include "Painter/LedPanelPainter.h"

#include <QGraphicsItem>

// The body of the panel behind its LEDs, drawn by the panel painter; the LED
// items are its children.
class LedPanelBodyItem : public QGraphicsItem
{
public:
    explicit LedPanelBodyItem(const LedPanelPainter& painter);

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    LedPanelPainter m_Painter;
    QRectF m_Bounds;
};

#endif // LEDPANELBODYITEM_H
