#ifndef LEDGRAPHICSSCENE_RING_H
#define LEDGRAPHICSSCENE_RING_H

#include "GraphicsView/AbstractLedGraphicsScene.h"

// LEDs on concentric circles around the scene origin; a row is a circle and a
// column an angular position.
class LedGraphicsScene_Ring : public AbstractLedGraphicsScene
{
    Q_OBJECT

public:
    explicit LedGraphicsScene_Ring(QObject* parent = nullptr);
};

#endif // LEDGRAPHICSSCENE_RING_H
