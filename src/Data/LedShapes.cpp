#include "Data/LedShapes.h"

#include <QLineF>
#include <QQueue>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct Cell
{
    int row;
    int column;
};

// Shapes are drawn on the cells as the user sees them, whatever order the LEDs are numbered in.
Cell cellOf(const LedLayout& layout, int led)
{
    const QPoint cell = layout.cellOf(led);
    return Cell { cell.y(), cell.x() };
}

int ledOf(const LedLayout& layout, int row, int column)
{
    return layout.indexAt(row, column);
}

int sign(int value)
{
    return value < 0 ? -1 : 1;
}

double distanceToSegment(const QPointF& point, const QPointF& from, const QPointF& to)
{
    const QPointF d = to - from;
    const double length2 = d.x() * d.x() + d.y() * d.y();
    double t = length2 > 0 ? QPointF::dotProduct(point - from, d) / length2 : 0.0;
    t = qBound(0.0, t, 1.0);
    return QLineF(point, from + t * d).length();
}

void sortUnique(QVector<int>& leds)
{
    std::sort(leds.begin(), leds.end());
    leds.erase(std::unique(leds.begin(), leds.end()), leds.end());
}

// Enough sides that the polygon stays within a small part of an LED pitch of the
// true curve for any ellipse a panel can show.
const int ellipseSides = 256;
const double tolerance = 1e-9;

} // namespace

int LedShapes::nearestLed(const LedLayout& layout, const QPointF& point)
{
    const qint64 count = layout.ledCount();
    if (count <= 0 || count > LedLayout::MaxLedCount)
        return -1;
    int nearest = -1;
    double best = std::numeric_limits<double>::max();
    for (int row = 0; row < layout.rows(); ++row) {
        for (int column = 0; column < layout.columns(); ++column) {
            const QPointF d = layout.ledPosition(row, column) - point;
            const double distance2 = d.x() * d.x() + d.y() * d.y();
            if (distance2 < best) {
                best = distance2;
                nearest = ledOf(layout, row, column);
            }
        }
    }
    return nearest;
}

int LedShapes::ledAt(const LedLayout& layout, const QPointF& point)
{
    const int led = nearestLed(layout, point);
    if (led < 0)
        return -1;
    const Cell cell = cellOf(layout, led);
    const double distance = QLineF(point, layout.ledPosition(cell.row, cell.column)).length();
    return distance <= halfNeighbourDistance(layout, cell.row, cell.column) + tolerance ? led : -1;
}

QVector<int> LedShapes::covered(const LedLayout& layout, eShape shape, const QPointF& from, const QPointF& to,
                                bool filled, bool square)
{
    const int first = nearestLed(layout, from);
    const int last = nearestLed(layout, to);
    if (first < 0 || last < 0)
        return {};
    const bool ring = layout.type() == LedLayout::Ring;
    switch (shape) {
    case Line:
        return ring ? ringLine(layout, first, last) : gridLine(layout, first, last);
    case Rectangle:
        return ring ? band(layout, first, last, filled) : box(layout, first, last, filled, square);
    case Ellipse:
        return ring ? ringEllipse(layout, from, to, filled, square) : gridEllipse(layout, first, last, filled, square);
    }
    return {};
}

QVector<int> LedShapes::gridLine(const LedLayout& layout, int from, int to)
{
    const Cell a = cellOf(layout, from);
    const Cell b = cellOf(layout, to);
    const int dc = std::abs(b.column - a.column);
    const int dr = -std::abs(b.row - a.row);
    const int sc = a.column < b.column ? 1 : -1;
    const int sr = a.row < b.row ? 1 : -1;
    int error = dc + dr;
    Cell cell = a;
    QVector<int> leds;
    for (;;) {
        leds.append(ledOf(layout, cell.row, cell.column));
        if (cell.row == b.row && cell.column == b.column)
            break;
        const int twice = 2 * error;
        if (twice >= dr) {
            error += dr;
            cell.column += sc;
        }
        if (twice <= dc) {
            error += dc;
            cell.row += sr;
        }
    }
    sortUnique(leds);
    return leds;
}

namespace {

// The far corner of a box from a, moved so that both sides are equally long
// and the box stays on the grid.
Cell squareCorner(const LedLayout& layout, const Cell& a, const Cell& b)
{
    const int sr = sign(b.row - a.row);
    const int sc = sign(b.column - a.column);
    const int roomRows = sr > 0 ? layout.rows() - 1 - a.row : a.row;
    const int roomColumns = sc > 0 ? layout.columns() - 1 - a.column : a.column;
    int side = qMax(std::abs(b.row - a.row), std::abs(b.column - a.column));
    side = qMin(side, qMin(roomRows, roomColumns));
    return Cell { a.row + sr * side, a.column + sc * side };
}

struct CellBox
{
    int top, bottom, left, right;
};

// The rows and columns between the LEDs pressed and released at, squared on request.
CellBox cellBox(const LedLayout& layout, int from, int to, bool square)
{
    const Cell a = cellOf(layout, from);
    const Cell b = square ? squareCorner(layout, a, cellOf(layout, to)) : cellOf(layout, to);
    return CellBox { qMin(a.row, b.row), qMax(a.row, b.row), qMin(a.column, b.column), qMax(a.column, b.column) };
}

} // namespace

QVector<int> LedShapes::box(const LedLayout& layout, int from, int to, bool filled, bool square)
{
    const CellBox cells = cellBox(layout, from, to, square);
    const int top = cells.top, bottom = cells.bottom, left = cells.left, right = cells.right;
    QVector<int> leds;
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            if (filled || row == top || row == bottom || column == left || column == right)
                leds.append(ledOf(layout, row, column));
        }
    }
    sortUnique(leds);
    return leds;
}

QVector<int> LedShapes::gridEllipse(const LedLayout& layout, int from, int to, bool filled, bool square)
{
    const CellBox cells = cellBox(layout, from, to, square);
    const int top = cells.top, bottom = cells.bottom, left = cells.left, right = cells.right;
    // The ellipse touches the outer edges of the box's cells.
    const double centreRow = (top + bottom) / 2.0;
    const double centreColumn = (left + right) / 2.0;
    const double radiusRows = (bottom - top + 1) / 2.0;
    const double radiusColumns = (right - left + 1) / 2.0;
    const auto inside = [&](int row, int column) {
        if (row < top || row > bottom || column < left || column > right)
            return false;
        const double y = (row - centreRow) / radiusRows;
        const double x = (column - centreColumn) / radiusColumns;
        return x * x + y * y <= 1.0 + tolerance;
    };
    QVector<int> leds;
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            if (!inside(row, column))
                continue;
            if (filled || !inside(row - 1, column) || !inside(row + 1, column) || !inside(row, column - 1)
                || !inside(row, column + 1))
                leds.append(ledOf(layout, row, column));
        }
    }
    sortUnique(leds);
    return leds;
}

QVector<int> LedShapes::band(const LedLayout& layout, int from, int to, bool filled)
{
    const Cell a = cellOf(layout, from);
    const Cell b = cellOf(layout, to);
    const int columns = layout.columns();
    const int inner = qMin(a.row, b.row);
    const int outer = qMax(a.row, b.row);
    // The shorter way round from a's angle to b's; across the gap of part of a circle there is no way.
    const int forward = ((b.column - a.column) % columns + columns) % columns;
    const bool round = layout.isFullCircle();
    const int step = round ? (forward <= columns - forward ? 1 : -1) : (b.column >= a.column ? 1 : -1);
    const int span = round ? (step > 0 ? forward : columns - forward) : std::abs(b.column - a.column);
    QVector<int> leds;
    for (int row = inner; row <= outer; ++row) {
        for (int k = 0; k <= span; ++k) {
            if (filled || row == inner || row == outer || k == 0 || k == span) {
                const int column = ((a.column + step * k) % columns + columns) % columns;
                leds.append(ledOf(layout, row, column));
            }
        }
    }
    sortUnique(leds);
    return leds;
}

double LedShapes::halfNeighbourDistance(const LedLayout& layout, int row, int column)
{
    const QPointF centre = layout.ledPosition(row, column);
    double nearest = std::numeric_limits<double>::max();
    for (int led : neighbours(layout, ledOf(layout, row, column))) {
        const Cell cell = cellOf(layout, led);
        if (cell.row == row && cell.column == column)
            continue;
        nearest = qMin(nearest, QLineF(centre, layout.ledPosition(cell.row, cell.column)).length());
    }
    // A lone LED, or LEDs on top of each other: the LED's own size.
    if (nearest == std::numeric_limits<double>::max() || nearest <= 0.0)
        nearest = 2 * layout.ledItemsSize();
    return nearest / 2;
}

QVector<int> LedShapes::ringLine(const LedLayout& layout, int from, int to)
{
    const Cell a = cellOf(layout, from);
    const Cell b = cellOf(layout, to);
    const QPointF start = layout.ledPosition(a.row, a.column);
    const QPointF end = layout.ledPosition(b.row, b.column);
    QVector<int> leds;
    for (int row = 0; row < layout.rows(); ++row) {
        for (int column = 0; column < layout.columns(); ++column) {
            const double distance = distanceToSegment(layout.ledPosition(row, column), start, end);
            if (distance <= halfNeighbourDistance(layout, row, column) + tolerance)
                leds.append(ledOf(layout, row, column));
        }
    }
    sortUnique(leds);
    return leds;
}

QVector<int> LedShapes::ringEllipse(const LedLayout& layout, const QPointF& from, QPointF to, bool filled,
                                    bool square)
{
    if (square) {
        const double side = qMax(std::fabs(to.x() - from.x()), std::fabs(to.y() - from.y()));
        to = from + QPointF(to.x() < from.x() ? -side : side, to.y() < from.y() ? -side : side);
    }
    const QPointF centre = (from + to) / 2;
    const double rx = std::fabs(to.x() - from.x()) / 2;
    const double ry = std::fabs(to.y() - from.y()) / 2;
    QVector<QPointF> outline;
    for (int k = 0; k <= ellipseSides; ++k) {
        const double angle = 2 * M_PI * k / ellipseSides;
        outline.append(centre + QPointF(rx * std::cos(angle), ry * std::sin(angle)));
    }
    QVector<int> leds;
    for (int row = 0; row < layout.rows(); ++row) {
        for (int column = 0; column < layout.columns(); ++column) {
            const QPointF p = layout.ledPosition(row, column);
            const double reach = halfNeighbourDistance(layout, row, column);
            // Far from the ellipse's box it can be neither on nor in it.
            if (p.x() < centre.x() - rx - reach || p.x() > centre.x() + rx + reach || p.y() < centre.y() - ry - reach
                || p.y() > centre.y() + ry + reach)
                continue;
            bool covers = false;
            if (filled && rx > 0 && ry > 0) {
                const double x = (p.x() - centre.x()) / rx;
                const double y = (p.y() - centre.y()) / ry;
                covers = x * x + y * y <= 1.0 + tolerance;
            }
            for (int k = 0; !covers && k < ellipseSides; ++k)
                covers = distanceToSegment(p, outline.at(k), outline.at(k + 1)) <= reach + tolerance;
            if (covers)
                leds.append(ledOf(layout, row, column));
        }
    }
    sortUnique(leds);
    return leds;
}

QVector<int> LedShapes::neighbours(const LedLayout& layout, int led)
{
    const int rows = layout.rows();
    const int columns = layout.columns();
    const Cell cell = cellOf(layout, led);
    QVector<int> found;
    const auto add = [&](int row, int column) {
        if (row >= 0 && row < rows && column >= 0 && column < columns && (row != cell.row || column != cell.column))
            found.append(ledOf(layout, row, column));
    };
    if (layout.isFullCircle()) {
        add(cell.row, (cell.column + 1) % columns);
        add(cell.row, (cell.column + columns - 1) % columns);
    } else {
        add(cell.row, cell.column + 1);
        add(cell.row, cell.column - 1);
    }
    add(cell.row + 1, cell.column);
    add(cell.row - 1, cell.column);
    sortUnique(found);
    return found;
}

QVector<int> LedShapes::floodArea(const LedLayout& layout, const QVector<int>& values, int led)
{
    const int count = int(qMin<qint64>(values.size(), layout.ledCount()));
    if (led < 0 || led >= count)
        return {};
    // Lit is above 0, as the panel plays it and the view shows it.
    const bool lit = values.at(led) > 0;
    QVector<bool> seen(count, false);
    QQueue<int> queue;
    queue.enqueue(led);
    seen[led] = true;
    QVector<int> area;
    while (!queue.isEmpty()) {
        const int next = queue.dequeue();
        area.append(next);
        for (int neighbour : neighbours(layout, next)) {
            if (neighbour < count && !seen.at(neighbour) && (values.at(neighbour) > 0) == lit) {
                seen[neighbour] = true;
                queue.enqueue(neighbour);
            }
        }
    }
    std::sort(area.begin(), area.end());
    return area;
}
