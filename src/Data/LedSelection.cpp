#include "Data/LedSelection.h"

LedSelection::LedSelection(int ledCount)
    : m_Selected(qMax(0, ledCount), false)
{
}

bool LedSelection::contains(int led) const
{
    return led >= 0 && led < m_Selected.size() && m_Selected.at(led);
}

QVector<int> LedSelection::leds() const
{
    QVector<int> leds;
    leds.reserve(m_Count);
    for (int i = 0; i < m_Selected.size(); ++i) {
        if (m_Selected.at(i))
            leds.append(i);
    }
    return leds;
}

void LedSelection::add(const QVector<int>& leds)
{
    for (int led : leds) {
        if (led >= 0 && led < m_Selected.size() && !m_Selected.at(led)) {
            m_Selected[led] = true;
            ++m_Count;
        }
    }
}

void LedSelection::remove(const QVector<int>& leds)
{
    for (int led : leds) {
        if (contains(led)) {
            m_Selected[led] = false;
            --m_Count;
        }
    }
}

void LedSelection::selectAll()
{
    m_Selected.fill(true);
    m_Count = m_Selected.size();
}

void LedSelection::clear()
{
    m_Selected.fill(false);
    m_Count = 0;
}

QRect LedSelection::bounds(const LedLayout& layout) const
{
    if (m_Count == 0 || m_Selected.size() != layout.ledCount())
        return QRect();
    const int columns = layout.columns();
    int top = layout.rows(), bottom = -1;
    QVector<bool> usedColumns(columns, false);
    for (int i = 0; i < m_Selected.size(); ++i) {
        if (!m_Selected.at(i))
            continue;
        const QPoint cell = layout.cellOf(i);
        top = qMin(top, cell.y());
        bottom = qMax(bottom, cell.y());
        usedColumns[cell.x()] = true;
    }
    int left = usedColumns.indexOf(true);
    int right = usedColumns.lastIndexOf(true);
    if (layout.isFullCircle()) {
        // The band is the circle less its longest run of unused columns.
        int bestStart = -1, bestLength = 0;
        for (int start = 0; start < columns; ++start) {
            if (usedColumns.at(start) || !usedColumns.at((start + columns - 1) % columns))
                continue;
            int length = 0;
            while (length < columns && !usedColumns.at((start + length) % columns))
                ++length;
            if (length > bestLength) {
                bestStart = start;
                bestLength = length;
            }
        }
        if (bestStart < 0)
            return QRect(0, top, columns, bottom - top + 1);
        left = (bestStart + bestLength) % columns;
        return QRect(left, top, columns - bestLength, bottom - top + 1);
    }
    return QRect(left, top, right - left + 1, bottom - top + 1);
}

int LedSelection::step(const LedLayout& layout, int led, int rows, int columns)
{
    const QPoint cell = layout.cellOf(led);
    int column = cell.x() + columns;
    if (layout.isFullCircle())
        column = ((column % layout.columns()) + layout.columns()) % layout.columns();
    return layout.indexAt(cell.y() + rows, column);
}

LedSelection LedSelection::moved(const LedLayout& layout, int rows, int columns) const
{
    LedSelection result(m_Selected.size());
    QVector<int> targets;
    for (int led : leds())
        targets.append(step(layout, led, rows, columns));
    result.add(targets);
    return result;
}
