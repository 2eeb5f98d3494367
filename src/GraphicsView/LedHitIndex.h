#ifndef LEDHITINDEX_H
#define LEDHITINDEX_H

#include "Data/LedLayout.h"

#include <QLineF>
#include <QRectF>
#include <QVector>

// Finds LEDs by place without looking at every LED: the LED centres sorted into
// square buckets about an LED across, so a click, a stroke segment or a repainted
// rectangle looks only at the buckets it touches.
class LedHitIndex
{
public:
    LedHitIndex() = default;
    explicit LedHitIndex(const LedLayout& layout);

    // The LED whose circle holds the point (the nearest if circles overlap, the one drawn last of
    // LEDs on one place), -1 beside every LED.
    int ledAt(const QPointF& point) const;
    // The LEDs whose centre lies within reach of the segment, in no particular order.
    QVector<int> ledsAlong(const QLineF& segment, qreal reach) const;
    // The LEDs whose centre lies inside the rectangle, in index order.
    QVector<int> ledsIn(const QRectF& rect) const;
    const QVector<QPointF>& centres() const;
    // The rectangle around every LED centre.
    QRectF bounds() const;

private:
    int bucketColumn(qreal x) const;
    int bucketRow(qreal y) const;
    template <typename Visit>
    void visitBuckets(int left, int top, int right, int bottom, Visit visit) const;

    QVector<QPointF> m_Centres;
    qreal m_Radius = 0;
    QRectF m_Bounds;
    qreal m_Cell = 1;
    int m_Columns = 0;
    int m_Rows = 0;
    // The LEDs of bucket b are m_Leds[m_Start[b] .. m_Start[b + 1]).
    QVector<int> m_Start;
    QVector<int> m_Leds;
};

#endif // LEDHITINDEX_H
