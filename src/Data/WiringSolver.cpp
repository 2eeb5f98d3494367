#include "Data/WiringSolver.h"

#include "Helper/Math.h"

#include <QHash>
#include <QLineF>

#include <cmath>

namespace {

// Positions of the same LED under two numberings differ by rounding only.
const double Tolerance = 1e-6;

// Unsigned, so that coordinates a million apart wrap instead of overflowing.
quint64 key(const QPointF& p)
{
    return quint64(std::llround(p.x() * 1000.0)) * 4000000007ULL + quint64(std::llround(p.y() * 1000.0));
}

// Finds positions by their rounded coordinates, looking into the neighbouring keys too.
class PositionSet
{
public:
    explicit PositionSet(const LedLayout& layout)
    {
        for (int led = 0; led < layout.ledCount(); ++led) {
            const QPointF p = layout.ledPositionOf(led);
            m_Points.insert(key(p), p);
        }
    }

    bool contains(const QPointF& p) const
    {
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                const auto range = m_Points.equal_range(key(p + QPointF(dx, dy) / 1000.0));
                for (auto it = range.first; it != range.second; ++it) {
                    if (QLineF(*it, p).length() < Tolerance * 1000)
                        return true;
                }
            }
        }
        return false;
    }

private:
    QMultiHash<quint64, QPointF> m_Points;
};

bool samePlace(const QPointF& a, const QPointF& b)
{
    return QLineF(a, b).length() < Tolerance * qMax(1.0, qMax(std::fabs(a.x()), std::fabs(a.y())));
}

bool sameNumbering(const LedLayout& a, const LedLayout& b)
{
    for (int led = 0; led < a.ledCount(); ++led) {
        if (!samePlace(a.ledPositionOf(led), b.ledPositionOf(led)))
            return false;
    }
    return true;
}

} // namespace

QList<LedLayout> WiringSolver::numberings(const LedLayout& believed)
{
    QList<LedLayout> found;
    if (believed.ledCount() <= 0 || believed.ledCount() > LedLayout::MaxLedCount)
        return found;
    const int rows = believed.rows();
    const int columns = believed.columns();
    const bool ring = believed.type() == LedLayout::Ring;
    const double rowStep = std::fabs(believed.rowSpacing());
    const double columnStep = std::fabs(believed.columnSpacing());
    // The drawn corners: top left and bottom right on a grid, innermost and outermost circle on a ring.
    const QPointF near = believed.ledPosition(0, 0);
    const QPointF far = believed.ledPosition(rows - 1, columns - 1);
    const double inner = cartesianToPolar(near).x();
    const double outer = cartesianToPolar(far).x();
    for (int order = LedLayout::Rows; order <= LedLayout::Columns; ++order) {
        for (int serpentine = 0; serpentine <= 1; ++serpentine) {
            for (int rowSign = 1; rowSign >= -1; rowSign -= 2) {
                for (int columnSign = 1; columnSign >= -1; columnSign -= 2) {
                    LedLayout layout = believed;
                    layout.setNumbering(LedLayout::eOrder(order), serpentine == 1);
                    layout.setSpacings(rowSign * rowStep, columnSign * columnStep);
                    if (ring) {
                        // Any LED of the first circle may start it; the caller tries them through the clicks.
                        layout.setFirstLedPosition(QPointF(rowSign > 0 ? inner : outer, 0.0));
                    } else {
                        layout.setFirstLedPosition(QPointF(columnSign > 0 ? near.x() : far.x(),
                                                           rowSign > 0 ? near.y() : far.y()));
                    }
                    found.append(layout);
                }
            }
        }
    }
    return found;
}

QList<LedLayout> WiringSolver::solve(const LedLayout& believed, const QVector<int>& tested, const QVector<int>& lit)
{
    Q_ASSERT(tested.size() == lit.size());
    QList<LedLayout> fitting;
    if (tested.isEmpty() || believed.ledCount() <= 0 || believed.ledCount() > LedLayout::MaxLedCount)
        return fitting;
    for (int i = 0; i < tested.size(); ++i) {
        if (tested.at(i) < 0 || tested.at(i) >= believed.ledCount() || lit.at(i) < 0
            || lit.at(i) >= believed.ledCount())
            return fitting;
    }
    const PositionSet places(believed);
    const QPointF first = believed.ledPositionOf(lit.first());
    const bool ring = believed.type() == LedLayout::Ring;
    for (LedLayout layout : numberings(believed)) {
        if (ring) {
            // LED 0 starts where it lit, on the circle the spacing's sign makes the first.
            const QPointF start = cartesianToPolar(first);
            if (!samePlace(QPointF(layout.firstLedPosition().x(), 0), QPointF(start.x(), 0)))
                continue;
            layout.setFirstLedPosition(first);
        }
        bool fits = true;
        for (int i = 0; fits && i < tested.size(); ++i)
            fits = samePlace(layout.ledPositionOf(tested.at(i)), believed.ledPositionOf(lit.at(i)));
        for (int led = 0; fits && led < layout.ledCount(); ++led)
            fits = places.contains(layout.ledPositionOf(led));
        for (int k = 0; fits && k < fitting.size(); ++k)
            fits = !sameNumbering(fitting.at(k), layout);
        if (fits)
            fitting.append(layout);
    }
    for (int k = 0; k < fitting.size(); ++k) {
        if (sameNumbering(fitting.at(k), believed))
            fitting.move(k, 0);
    }
    return fitting;
}
