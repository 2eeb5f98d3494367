#ifndef REGIONOPERATIONS_H
#define REGIONOPERATIONS_H

#include "Data/FrameOperations.h"
#include "Data/LedSelection.h"

#include <QVector>

// What the frame operations and a move do to the selected LEDs only. A shift,
// turn or mirror works within the selection's bounds as if they were the whole
// panel; a ring's band that goes all the way round keeps the ring's own rules.
// LEDs outside the selection never change.
class RegionOperations
{
public:
    static QVector<int> apply(FrameOperations::eOperation operation, const QVector<int>& values,
                              const LedLayout& layout, const LedSelection& selection);

    // The selected LEDs' states moved by whole rows and columns (a ring turns).
    // The LEDs they leave go dark unless it is a copy; the LEDs they cover take
    // their states, dark ones included; what leaves the panel is dropped.
    static QVector<int> move(const QVector<int>& values, const LedLayout& layout, const LedSelection& selection,
                             int rows, int columns, bool copy);
};

#endif // REGIONOPERATIONS_H
