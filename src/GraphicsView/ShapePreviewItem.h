#ifndef SHAPEPREVIEWITEM_H
#define SHAPEPREVIEWITEM_H

#include <QGraphicsItem>
#include <QVector>

// Marks, over the LEDs of a layout scene, the LEDs a shape being dragged will
// set: filled for lighting, hollow for darkening. It takes no clicks.
class ShapePreviewItem : public QGraphicsItem
{
public:
    ShapePreviewItem(qreal ledSize, bool lit);

    void setCentres(const QVector<QPointF>& centres);
    int count() const;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QVector<QPointF> m_Centres;
    QRectF m_Bounds;
    qreal m_Size;
    bool m_Lit;
};

#endif // SHAPEPREVIEWITEM_H
