#ifndef SELECTIONOUTLINEITEM_H
#define SELECTIONOUTLINEITEM_H

#include "GraphicsView/LedMarksItem.h"

// A dashed outline over the selected LEDs of a layout scene: around each LED,
// so that a band on a ring reads as well as a rectangle on a grid.
class SelectionOutlineItem : public LedMarksItem
{
public:
    explicit SelectionOutlineItem(qreal ledSize);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
};

#endif // SELECTIONOUTLINEITEM_H
