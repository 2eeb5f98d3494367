#include "GraphicsView/LedKeyboardCursor.h"

#include <QLineF>
#include <QPainter>

namespace {

// The outline lies just outside the LED, clear of the LEDs around it.
const qreal outlineScale = 1.35;

} // namespace

LedKeyboardCursor::LedKeyboardCursor()
    : m_Row(0)
    , m_Column(0)
{
}

int LedKeyboardCursor::index() const
{
    return m_Layout.ledCount() > 0 ? m_Layout.indexAt(m_Row, m_Column) : -1;
}

void LedKeyboardCursor::setLayout(const LedLayout& layout)
{
    // The outline stays on its LED, or starts on LED 0 wherever the numbering puts it.
    const int led = index();
    m_Layout = layout;
    m_Row = 0;
    m_Column = 0;
    setIndex(led >= 0 && led < layout.ledCount() ? led : 0);
}

void LedKeyboardCursor::setIndex(int index)
{
    if (index < 0 || index >= m_Layout.ledCount())
        return;
    const QPoint cell = m_Layout.cellOf(index);
    m_Row = cell.y();
    m_Column = cell.x();
}

bool LedKeyboardCursor::move(int key)
{
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    if (m_Layout.ledCount() == 0)
        return true;

    const int columns = m_Layout.columns();
    if (m_Layout.type() == LedLayout::Ring) {
        // Along the circle as drawn, clockwise for Right; part of a circle stops at its ends.
        const bool round = m_Layout.isFullCircle();
        if (key == Qt::Key_Left)
            m_Column = round ? (m_Column + columns - 1) % columns : qMax(0, m_Column - 1);
        else if (key == Qt::Key_Right)
            m_Column = round ? (m_Column + 1) % columns : qMin(columns - 1, m_Column + 1);
        else
            m_Row = neighbourRow(m_Row, m_Column, key == Qt::Key_Up);
        return true;
    }

    // Cells are as drawn, whatever the numbering: the keys follow the screen.
    if (key == Qt::Key_Left || key == Qt::Key_Right)
        m_Column = qBound(0, m_Column + (key == Qt::Key_Right ? 1 : -1), columns - 1);
    else
        m_Row = qBound(0, m_Row + (key == Qt::Key_Down ? 1 : -1), m_Layout.rows() - 1);
    return true;
}

// The circle next to this one that lies outward (or inward) of it; the same one at the edge.
// Radii may pass through the centre, so both neighbours are measured.
int LedKeyboardCursor::neighbourRow(int row, int column, bool outward) const
{
    const qreal here = distance(row, column);
    int best = row;
    for (int candidate : {row - 1, row + 1}) {
        if (candidate < 0 || candidate >= m_Layout.rows())
            continue;
        const qreal there = distance(candidate, column);
        if (outward ? there <= here : there >= here)
            continue;
        if (best == row || (outward ? there < distance(best, column) : there > distance(best, column)))
            best = candidate;
    }
    return best;
}

qreal LedKeyboardCursor::distance(int row, int column) const
{
    return QLineF(QPointF(), m_Layout.ledPosition(row, column)).length();
}

QRectF LedKeyboardCursor::rect() const
{
    if (m_Layout.ledCount() == 0)
        return QRectF();
    const qreal radius = outlineScale * m_Layout.ledItemsSize();
    const QPointF centre = m_Layout.ledPosition(m_Row, m_Column);
    return QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
}

void LedKeyboardCursor::paint(QPainter* painter) const
{
    const QRectF outline = rect();
    if (outline.isEmpty())
        return;
    painter->save();
    painter->setBrush(Qt::NoBrush);
    // Dark under light, so the outline shows on lit and dark LEDs and on the body alike.
    QPen pen(Qt::black, 4);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->drawEllipse(outline);
    pen.setColor(Qt::white);
    pen.setWidthF(2);
    painter->setPen(pen);
    painter->drawEllipse(outline);
    painter->restore();
}
