#include "GraphicsView/LedGraphicsScene_Ring.h"

LedGraphicsScene_Ring::LedGraphicsScene_Ring(QObject* parent)
    : AbstractLedGraphicsScene(LedLayout::Ring, parent)
{
}
