#include "Picture/LedQuantizer.h"

namespace {

// Means of cells are sums of weighted samples; a uniform grey must not fall a
// rounding error below its own value.
constexpr double Tolerance = 1e-6;

} // namespace

QVector<int> LedQuantizer::quantize(const QVector<double>& luminance, const LedLayout& layout, int threshold,
                                    bool dither, bool invert)
{
    const int rows = qMax(0, layout.rows());
    const int columns = qMax(0, layout.columns());
    const int count = qMin(luminance.size(), rows * columns);
    QVector<double> values(luminance.size());
    for (int i = 0; i < luminance.size(); ++i)
        values[i] = invert ? 255.0 - luminance.at(i) : luminance.at(i);

    QVector<int> lit(luminance.size(), 0);
    if (!dither) {
        for (int i = 0; i < values.size(); ++i)
            lit[i] = values.at(i) + Tolerance >= threshold ? 1 : 0;
        return lit;
    }

    const bool ring = layout.type() == LedLayout::Ring;
    auto spread = [&](int row, int column, double error) {
        if (row >= rows)
            return;
        if (ring)
            column = (column % columns + columns) % columns;
        else if (column < 0 || column >= columns)
            return;
        const int index = layout.indexAt(row, column);
        if (index >= 0 && index < count)
            values[index] += error;
    };
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            // Errors spread over the panel as drawn, whatever order its LEDs are numbered in.
            const int index = layout.indexAt(row, column);
            if (index < 0 || index >= count)
                continue;
            const double value = values.at(index);
            const bool on = value + Tolerance >= threshold;
            lit[index] = on ? 1 : 0;
            const double error = value - (on ? 255.0 : 0.0);
            // On a ring the last LED of a circle passes its share on to the next circle.
            if (column + 1 < columns)
                spread(row, column + 1, error * 7.0 / 16.0);
            else if (ring)
                spread(row + 1, column, error * 7.0 / 16.0);
            spread(row + 1, column - 1, error * 3.0 / 16.0);
            spread(row + 1, column, error * 5.0 / 16.0);
            spread(row + 1, column + 1, error * 1.0 / 16.0);
        }
    }
    return lit;
}
