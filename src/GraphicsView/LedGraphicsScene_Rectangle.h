#ifndef LEDGRAPHICSSCENE_RECTANGLE_H
#define LEDGRAPHICSSCENE_RECTANGLE_H

#include "GraphicsView/AbstractLedGraphicsScene.h"

// LEDs in a grid of rows and columns on a rectangular body.
class LedGraphicsScene_Rectangle : public AbstractLedGraphicsScene
{
    Q_OBJECT

public:
    explicit LedGraphicsScene_Rectangle(QObject* parent = nullptr);

    eType type() override;
    int rows() override;
    int columns() override;
    void readXML(QXmlStreamReader& xml) override;
    void writeXML(QXmlStreamWriter& xml) override;
    qreal ledItemsSize() const override;

    void createLayout();

protected:
    void rebuild() override;
};

#endif // LEDGRAPHICSSCENE_RECTANGLE_H
