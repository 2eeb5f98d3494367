#ifndef LEDGRAPHICSSCENE_RING_H
#define LEDGRAPHICSSCENE_RING_H

#include "GraphicsView/AbstractLedGraphicsScene.h"

#include <QPointF>

// LEDs on concentric circles around the scene origin; a row is a circle and a
// column an angular position.
class LedGraphicsScene_Ring : public AbstractLedGraphicsScene
{
    Q_OBJECT

public:
    explicit LedGraphicsScene_Ring(QObject* parent = nullptr);

    eType type() override;
    int rows() override;
    int columns() override;
    void readXML(QXmlStreamReader& xml) override;
    void writeXML(QXmlStreamWriter& xml) override;
    qreal ledItemsSize() const override;

    void createLayout();

private:
    int m_Rows;
    int m_Columns;
    double m_RowSpacing;
    double m_ColumnSpacing;
    double m_InnerDiameter;
    double m_OuterDiameter;
    QPointF m_FirstLedPosition;
    qreal m_LedItemsSize;
};

#endif // LEDGRAPHICSSCENE_RING_H
