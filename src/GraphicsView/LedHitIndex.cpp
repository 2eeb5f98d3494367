#include "GraphicsView/LedHitIndex.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

// Buckets per LED at most: a sparse layout gets larger buckets rather than empty ones.
const int bucketsPerLed = 4;

} // namespace

LedHitIndex::LedHitIndex(const LedLayout& layout)
    : m_Radius(qAbs(layout.ledItemsSize()))
{
    const qint64 count = layout.ledCount();
    if (count <= 0 || count > LedLayout::MaxLedCount)
        return;
    m_Centres.reserve(int(count));
    // By hand: a rectangle of no size (one LED, one row) counts for nothing in QRectF's union.
    qreal left = 0, top = 0, right = 0, bottom = 0;
    for (int led = 0; led < count; ++led) {
        const QPointF centre = layout.ledPositionOf(led);
        m_Centres.append(centre);
        left = led ? qMin(left, centre.x()) : centre.x();
        right = led ? qMax(right, centre.x()) : centre.x();
        top = led ? qMin(top, centre.y()) : centre.y();
        bottom = led ? qMax(bottom, centre.y()) : centre.y();
    }
    m_Bounds = QRectF(QPointF(left, top), QPointF(right, bottom));

    const qreal area = qMax<qreal>(m_Bounds.width(), 1) * qMax<qreal>(m_Bounds.height(), 1);
    // A long thin panel is bounded by its length too: its area alone would leave it a bucket per unit of width.
    const qreal length = qMax(m_Bounds.width(), m_Bounds.height());
    m_Cell = qMax<qreal>(qMax<qreal>(2 * m_Radius, std::sqrt(area / (bucketsPerLed * qreal(count)))),
                         length / (bucketsPerLed * qreal(count)));
    if (!(m_Cell > 0))
        m_Cell = 1;
    m_Columns = int(m_Bounds.width() / m_Cell) + 1;
    m_Rows = int(m_Bounds.height() / m_Cell) + 1;

    // Counting sort of the LEDs into their buckets keeps each bucket in index order.
    QVector<int> bucketOf(m_Centres.size());
    m_Start.fill(0, m_Columns * m_Rows + 1);
    for (int led = 0; led < m_Centres.size(); ++led) {
        const QPointF& centre = m_Centres.at(led);
        bucketOf[led] = bucketRow(centre.y()) * m_Columns + bucketColumn(centre.x());
        ++m_Start[bucketOf[led] + 1];
    }
    for (int b = 0; b < m_Columns * m_Rows; ++b)
        m_Start[b + 1] += m_Start[b];
    QVector<int> next = m_Start;
    m_Leds.resize(m_Centres.size());
    for (int led = 0; led < m_Centres.size(); ++led)
        m_Leds[next[bucketOf[led]]++] = led;
}

const QVector<QPointF>& LedHitIndex::centres() const
{
    return m_Centres;
}

QRectF LedHitIndex::bounds() const
{
    return m_Bounds;
}

int LedHitIndex::bucketColumn(qreal x) const
{
    return qBound(0, int(std::floor((x - m_Bounds.left()) / m_Cell)), m_Columns - 1);
}

int LedHitIndex::bucketRow(qreal y) const
{
    return qBound(0, int(std::floor((y - m_Bounds.top()) / m_Cell)), m_Rows - 1);
}

template <typename Visit>
void LedHitIndex::visitBuckets(int left, int top, int right, int bottom, Visit visit) const
{
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            const int bucket = row * m_Columns + column;
            for (int i = m_Start.at(bucket); i < m_Start.at(bucket + 1); ++i)
                visit(m_Leds.at(i));
        }
    }
}

int LedHitIndex::ledAt(const QPointF& point) const
{
    if (m_Centres.isEmpty())
        return -1;
    const QRectF reach(point.x() - m_Radius, point.y() - m_Radius, 2 * m_Radius, 2 * m_Radius);
    int found = -1;
    const qreal radius2 = m_Radius * m_Radius;
    qreal best = radius2;
    // LEDs on one place (a ring turned past a full circle) differ by rounding only: the one drawn
    // last lies over the others and is the one the user sees.
    const qreal rounding = 1e-10 * qMax(radius2, point.x() * point.x() + point.y() * point.y());
    visitBuckets(bucketColumn(reach.left()), bucketRow(reach.top()), bucketColumn(reach.right()),
                 bucketRow(reach.bottom()), [&](int led) {
                     const QPointF d = m_Centres.at(led) - point;
                     const qreal distance2 = d.x() * d.x() + d.y() * d.y();
                     if (distance2 > radius2)
                         return;
                     if (found < 0 || distance2 < best - rounding || (distance2 <= best + rounding && led > found)) {
                         best = qMin(best, distance2);
                         found = led;
                     }
                 });
    return found;
}

QVector<int> LedHitIndex::ledsAlong(const QLineF& segment, qreal reach) const
{
    QVector<int> leds;
    if (m_Centres.isEmpty())
        return leds;
    const qreal length2 = segment.dx() * segment.dx() + segment.dy() * segment.dy();
    const auto near = [&](int led) {
        const QPointF centre = m_Centres.at(led);
        qreal t = length2 > 0 ? ((centre.x() - segment.x1()) * segment.dx() + (centre.y() - segment.y1()) * segment.dy())
                                    / length2
                              : 0.0;
        t = qBound<qreal>(0.0, t, 1.0);
        const QPointF d = centre - segment.pointAt(t);
        if (d.x() * d.x() + d.y() * d.y() <= reach * reach)
            leds.append(led);
    };
    // Along the segment bucket by bucket, so a long diagonal costs its length, not its box.
    QSet<int> visited;
    const int steps = int(std::sqrt(length2) / m_Cell) + 1;
    const int spread = int(std::ceil(reach / m_Cell));
    for (int step = 0; step <= steps; ++step) {
        const QPointF at = segment.pointAt(qreal(step) / steps);
        const int column = bucketColumn(at.x());
        const int row = bucketRow(at.y());
        for (int r = qMax(0, row - spread - 1); r <= qMin(m_Rows - 1, row + spread + 1); ++r) {
            for (int c = qMax(0, column - spread - 1); c <= qMin(m_Columns - 1, column + spread + 1); ++c) {
                const int bucket = r * m_Columns + c;
                if (visited.contains(bucket))
                    continue;
                visited.insert(bucket);
                for (int i = m_Start.at(bucket); i < m_Start.at(bucket + 1); ++i)
                    near(m_Leds.at(i));
            }
        }
    }
    return leds;
}

QVector<int> LedHitIndex::ledsIn(const QRectF& rect) const
{
    QVector<int> leds;
    const QRectF area = rect.normalized();
    if (m_Centres.isEmpty() || !area.intersects(m_Bounds.adjusted(-1, -1, 1, 1)))
        return leds;
    visitBuckets(bucketColumn(area.left()), bucketRow(area.top()), bucketColumn(area.right()),
                 bucketRow(area.bottom()), [&](int led) {
                     if (area.contains(m_Centres.at(led)))
                         leds.append(led);
                 });
    std::sort(leds.begin(), leds.end());
    return leds;
}
