#include "Data/LedSymmetry.h"

#include <algorithm>

LedSymmetry::LedSymmetry(eMode mode, int count)
    : m_Mode(mode)
    , m_Count(count)
{
}

bool LedSymmetry::appliesTo(const LedLayout& layout) const
{
    if (layout.ledCount() <= 0)
        return false;
    switch (m_Mode) {
    case Mirror:
        return true;
    case Both:
        return layout.type() == LedLayout::Rectangle;
    case Rotate:
        return rotationCounts(layout).contains(m_Count);
    case None:
        break;
    }
    return false;
}

QVector<int> LedSymmetry::repeated(const LedLayout& layout, const QVector<int>& leds) const
{
    if (!appliesTo(layout))
        return leds;
    const int rows = layout.rows();
    const int columns = layout.columns();
    const bool round = layout.isFullCircle();

    QVector<bool> marked(int(layout.ledCount()), false);
    const auto mark = [&](int row, int column) {
        const int index = layout.indexAt(row, column);
        if (index >= 0)
            marked[index] = true;
    };
    for (int led : leds) {
        if (led < 0 || led >= marked.size())
            continue;
        const QPoint cell = layout.cellOf(led);
        const int row = cell.y();
        const int column = cell.x();
        mark(row, column);
        switch (m_Mode) {
        case Mirror:
            // On a ring as Flip around LED 0 does.
            mark(row, round ? (columns - column) % columns : columns - 1 - column);
            break;
        case Both:
            mark(row, columns - 1 - column);
            mark(rows - 1 - row, column);
            mark(rows - 1 - row, columns - 1 - column);
            break;
        case Rotate:
            for (int turn = 1; turn < m_Count; ++turn)
                mark(row, (column + turn * columns / m_Count) % columns);
            break;
        case None:
            break;
        }
    }
    QVector<int> result;
    for (int i = 0; i < marked.size(); ++i) {
        if (marked.at(i))
            result.append(i);
    }
    return result;
}

QVector<int> LedSymmetry::rotationCounts(const LedLayout& layout)
{
    QVector<int> counts;
    // Turning part of a circle would carry LEDs into its gap.
    if (!layout.isFullCircle())
        return counts;
    for (int n : {2, 3, 4, 6, 8}) {
        if (layout.columns() % n == 0)
            counts.append(n);
    }
    return counts;
}
