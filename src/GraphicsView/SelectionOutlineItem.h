#ifndef SELECTIONOUTLINEITEM_H
#define SELECTIONOUTLINEITEM_H

#include <QGraphicsItem>
#include <QVector>

// A dashed outline over the selected LEDs of a layout scene: around each LED,
// so that a band on a ring reads as well as a rectangle on a grid. It takes no clicks.
class SelectionOutlineItem : public QGraphicsItem
{
public:
    explicit SelectionOutlineItem(qreal ledSize);

    void setCentres(const QVector<QPointF>& centres);
    int count() const;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QVector<QPointF> m_Centres;
    QRectF m_Bounds;
    qreal m_Size;
};

#endif // SELECTIONOUTLINEITEM_H
