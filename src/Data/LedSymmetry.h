#ifndef LEDSYMMETRY_H
#define LEDSYMMETRY_H

#include "Data/LedLayout.h"

#include <QVector>

// How a drawing is repeated on the panel: mirrored across a grid's vertical
// centre line (or both centre lines), mirrored on a ring across the line through
// LED 0 of every circle, or turned a number of times around a ring's centre.
// It works on rows and columns as drawn, whatever the numbering.
class LedSymmetry
{
public:
    enum eMode
    {
        None,
        Mirror,
        Both, // grids only
        Rotate // rings only
    };

    explicit LedSymmetry(eMode mode = None, int count = 2);

    eMode mode() const { return m_Mode; }
    int count() const { return m_Count; }
    // Whether the mode means anything on the layout; one that does not repeats nothing.
    bool appliesTo(const LedLayout& layout) const;

    // The LEDs and all their repetitions, ascending, each once.
    QVector<int> repeated(const LedLayout& layout, const QVector<int>& leds) const;

    // The turns a ring can be repeated by: those of 2, 3, 4, 6 and 8 that divide its LEDs per circle.
    static QVector<int> rotationCounts(const LedLayout& layout);

private:
    eMode m_Mode;
    int m_Count;
};

#endif // LEDSYMMETRY_H
