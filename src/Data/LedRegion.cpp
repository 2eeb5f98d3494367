#include "Data/LedRegion.h"

#include <QList>

namespace {

const QByteArray Magic("Tessaloom region 1");

} // namespace

LedRegion LedRegion::take(const LedLayout& layout, const QVector<int>& values, const LedSelection& selection)
{
    LedRegion region;
    if (selection.isEmpty() || selection.ledCount() != layout.ledCount() || values.size() != layout.ledCount())
        return region;
    const QRect bounds = selection.bounds(layout);
    region.m_Origin = bounds.topLeft();
    for (int led : selection.leds()) {
        const QPoint cell = layout.cellOf(led);
        int column = cell.x() - bounds.left();
        if (column < 0) // a ring's band past LED 0
            column += layout.columns();
        region.m_Cells.append(Cell { cell.y() - bounds.top(), column, values.at(led) });
    }
    return region;
}

LedRegion::Placed LedRegion::place(const LedLayout& target, const QPoint& at) const
{
    Placed placed;
    const bool ring = target.isFullCircle();
    for (const Cell& cell : m_Cells) {
        int column = at.x() + cell.column;
        // Moved back past LED 0, a paste comes round from the other side.
        if (ring)
            column = ((column % target.columns()) + target.columns()) % target.columns();
        const int led = target.indexAt(at.y() + cell.row, column);
        if (led < 0) {
            ++placed.dropped;
            continue;
        }
        placed.leds.append(led);
        placed.states.append(cell.value);
    }
    return placed;
}

QByteArray LedRegion::toByteArray() const
{
    QByteArray data = Magic + '\n' + QByteArray::number(m_Origin.y()) + ' ' + QByteArray::number(m_Origin.x()) + '\n';
    for (const Cell& cell : m_Cells)
        data += QByteArray::number(cell.row) + ' ' + QByteArray::number(cell.column) + ' '
              + QByteArray::number(cell.value) + '\n';
    return data;
}

LedRegion LedRegion::fromByteArray(const QByteArray& data)
{
    const QList<QByteArray> lines = data.split('\n');
    if (lines.size() < 2 || lines.first() != Magic)
        return LedRegion();
    // No more cells than the largest panel has: anything else is not ours.
    if (lines.size() > LedLayout::MaxLedCount + 3)
        return LedRegion();
    const auto numbers = [](const QByteArray& line, int count, int* out) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != count)
            return false;
        for (int i = 0; i < count; ++i) {
            bool ok = false;
            out[i] = fields.at(i).toInt(&ok);
            if (!ok || (i < 2 && (out[i] < 0 || out[i] > LedLayout::MaxLedCount)))
                return false;
        }
        return true;
    };
    LedRegion region;
    int origin[2];
    if (!numbers(lines.at(1), 2, origin))
        return LedRegion();
    region.m_Origin = QPoint(origin[1], origin[0]);
    for (int i = 2; i < lines.size(); ++i) {
        if (lines.at(i).isEmpty())
            continue;
        int cell[3];
        if (!numbers(lines.at(i), 3, cell))
            return LedRegion();
        region.m_Cells.append(Cell { cell[0], cell[1], cell[2] });
    }
    return region;
}
