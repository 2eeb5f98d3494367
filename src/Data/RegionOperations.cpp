#include "Data/RegionOperations.h"

QVector<int> RegionOperations::apply(FrameOperations::eOperation operation, const QVector<int>& values,
                                     const LedLayout& layout, const LedSelection& selection)
{
    if (selection.isEmpty() || selection.ledCount() != layout.ledCount() || values.size() != layout.ledCount())
        return values;
    const QRect bounds = selection.bounds(layout);
    const bool ring = layout.type() == LedLayout::Ring;
    const int columns = layout.columns();

    // The bounds as a panel of their own, numbered row by row.
    QVector<int> cells(bounds.width() * bounds.height(), -1);
    QVector<int> part(cells.size(), 0);
    for (int row = 0; row < bounds.height(); ++row) {
        for (int column = 0; column < bounds.width(); ++column) {
            const int drawnColumn = ring ? (bounds.left() + column) % columns : bounds.left() + column;
            const int led = layout.indexAt(bounds.top() + row, drawnColumn);
            cells[row * bounds.width() + column] = led;
            part[row * bounds.width() + column] = led >= 0 ? values.at(led) : 0;
        }
    }
    const bool round = layout.isFullCircle() && bounds.width() == columns;
    const LedLayout::eType type = round ? LedLayout::Ring : LedLayout::Rectangle;
    // Numbered row by row, as the part is laid out above.
    const LedLayout partLayout = LedLayout::create(type, bounds.height(), bounds.width());
    const QVector<int> changed = FrameOperations::apply(operation, part, partLayout);

    QVector<int> result = values;
    for (int i = 0; i < cells.size(); ++i) {
        if (selection.contains(cells.at(i)))
            result[cells.at(i)] = changed.at(i);
    }
    return result;
}

QVector<int> RegionOperations::move(const QVector<int>& values, const LedLayout& layout,
                                    const LedSelection& selection, int rows, int columns, bool copy)
{
    if (selection.ledCount() != layout.ledCount() || values.size() != layout.ledCount())
        return values;
    QVector<int> result = values;
    const QVector<int> leds = selection.leds();
    if (!copy) {
        for (int led : leds)
            result[led] = 0;
    }
    for (int led : leds) {
        const int target = LedSelection::step(layout, led, rows, columns);
        if (target >= 0)
            result[target] = values.at(led);
    }
    return result;
}
