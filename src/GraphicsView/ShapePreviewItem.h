#ifndef SHAPEPREVIEWITEM_H
#define SHAPEPREVIEWITEM_H

#include "GraphicsView/LedMarksItem.h"

// Marks, over the LEDs of a layout scene, the LEDs a shape being dragged will
// set: filled for lighting, hollow for darkening.
class ShapePreviewItem : public LedMarksItem
{
public:
    ShapePreviewItem(qreal ledSize, bool lit);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    bool m_Lit;
};

#endif // SHAPEPREVIEWITEM_H
