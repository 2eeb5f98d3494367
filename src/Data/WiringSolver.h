#ifndef WIRINGSOLVER_H
#define WIRINGSOLVER_H

#include "Data/LedLayout.h"

#include <QList>
#include <QVector>

// Works out how a panel is numbered from where single LEDs of the wiring test
// lit. Every numbering considered keeps the panel's LEDs where they are drawn
// and its body; only the corner LED 0 starts in, the direction and the order
// change (on a ring the start angle, innermost or outermost circle first).
class WiringSolver
{
public:
    // believed: the layout the test program was written for; lit[i]: the LED of
    // that layout seen lit when the program lit its LED `tested[i]` alone.
    // Gives every distinct numbering that explains them, the believed one first
    // when it is among them.
    static QList<LedLayout> solve(const LedLayout& believed, const QVector<int>& tested, const QVector<int>& lit);

private:
    static QList<LedLayout> numberings(const LedLayout& believed);
};

#endif // WIRINGSOLVER_H
