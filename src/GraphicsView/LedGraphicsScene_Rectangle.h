#ifndef LEDGRAPHICSSCENE_RECTANGLE_H
#define LEDGRAPHICSSCENE_RECTANGLE_H

#include "GraphicsView/AbstractLedGraphicsScene.h"

// LEDs in a grid of rows and columns on a rectangular body.
class LedGraphicsScene_Rectangle : public AbstractLedGraphicsScene
{
    Q_OBJECT

public:
    explicit LedGraphicsScene_Rectangle(QObject* parent = nullptr);
};

#endif // LEDGRAPHICSSCENE_RECTANGLE_H
