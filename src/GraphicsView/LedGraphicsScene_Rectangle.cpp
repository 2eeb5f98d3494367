#include "GraphicsView/LedGraphicsScene_Rectangle.h"

LedGraphicsScene_Rectangle::LedGraphicsScene_Rectangle(QObject* parent)
    : AbstractLedGraphicsScene(LedLayout::Rectangle, parent)
{
}
