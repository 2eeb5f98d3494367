#ifndef LEDREGION_H
#define LEDREGION_H

#include "Data/LedSelection.h"

#include <QByteArray>
#include <QPoint>
#include <QVector>

// A piece of a frame on the clipboard: the selected LEDs' states by cell as
// drawn, counted from the selection's top-left cell, so that it lands on the
// same cells of a panel of the same layout and by row and column on another.
class LedRegion
{
public:
    static constexpr const char* MimeType = "application/x-tessaloom-region";

    static LedRegion take(const LedLayout& layout, const QVector<int>& values, const LedSelection& selection);

    bool isEmpty() const { return m_Cells.isEmpty(); }
    // The top-left cell it was taken from (x = column, y = row).
    QPoint origin() const { return m_Origin; }

    struct Placed
    {
        QVector<int> leds;
        QVector<int> states;
        int dropped = 0; // cells that fell off the panel
    };
    // The region with its top-left cell on `at`; a ring's columns wrap.
    Placed place(const LedLayout& target, const QPoint& at) const;

    QByteArray toByteArray() const;
    // An empty region for anything that is not one.
    static LedRegion fromByteArray(const QByteArray& data);

private:
    struct Cell
    {
        int row;
        int column;
        int value;
    };
    QVector<Cell> m_Cells;
    QPoint m_Origin;
};

#endif // LEDREGION_H
