#ifndef LEDMARKSITEM_H
#define LEDMARKSITEM_H

#include <QGraphicsItem>
#include <QVector>

// Marks drawn over some LEDs of a layout scene, each around its LED's centre.
// It takes no clicks; what a mark looks like is the subclass's.
class LedMarksItem : public QGraphicsItem
{
public:
    void setCentres(const QVector<QPointF>& centres);
    int count() const;
    QRectF boundingRect() const override;

protected:
    LedMarksItem(qreal ledSize, qreal z);

    const QVector<QPointF>& centres() const { return m_Centres; }
    qreal ledSize() const { return m_Size; }

private:
    QVector<QPointF> m_Centres;
    QRectF m_Bounds;
    qreal m_Size;
};

#endif // LEDMARKSITEM_H
