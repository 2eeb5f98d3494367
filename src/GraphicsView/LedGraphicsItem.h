#ifndef LEDGRAPHICSITEM_H
#define LEDGRAPHICSITEM_H

#include <QGraphicsItem>

class AbstractLedGraphicsScene;
class LedData;

// One LED of the panel: shows and toggles the LedData of the bound frame.
class LedGraphicsItem : public QGraphicsItem
{
public:
    explicit LedGraphicsItem(QGraphicsItem* parent);

    AbstractLedGraphicsScene* scene() const;
    LedData* ledData() const;
    // The LED's position in the layout's numbering.
    int ledIndex() const;

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

private:
    friend class AbstractLedGraphicsScene;
    void setLedData(LedData* ledData);
    void setLedIndex(int index);

    LedData* m_pLedData;
    int m_Index;
};

#endif // LEDGRAPHICSITEM_H
