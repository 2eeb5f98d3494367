#ifndef LEDSHAPES_H
#define LEDSHAPES_H

#include "Data/LedLayout.h"

#include <QPointF>
#include <QVector>

// Which LEDs a drawn shape covers, decided on the layout's rows and columns so
// that shapes are exact on any grid. On a ring a row is a circle and a column an
// angular position; there a line and an ellipse are taken in the scene instead,
// where an LED belongs to them when its centre lies within half the distance to
// its nearest neighbour. LED lists are ascending indices (row × columns + column).
class LedShapes
{
public:
    enum eShape
    {
        Line,
        Rectangle,
        Ellipse
    };

    // The LED whose centre is nearest to the scene point; -1 for a layout without LEDs.
    static int nearestLed(const LedLayout& layout, const QPointF& point);
    // The nearest LED if the point lies within half the distance to that LED's nearest neighbour, else -1.
    static int ledAt(const LedLayout& layout, const QPointF& point);

    // The LEDs the shape dragged from one scene point to another covers. A square
    // shape has a square bounding box (a circle for an ellipse); on a ring a band
    // has no square form and ignores it.
    static QVector<int> covered(const LedLayout& layout, eShape shape, const QPointF& from, const QPointF& to,
                                bool filled, bool square = false);

    // The connected area of LEDs that are lit as the given one is (or dark as it is), itself included.
    static QVector<int> floodArea(const LedLayout& layout, const QVector<int>& values, int led);
    // A grid's four neighbours of a cell; on a ring the two along the circle, wrapping
    // at LED 0, and the same angular position on the circles inside and outside.
    static QVector<int> neighbours(const LedLayout& layout, int led);

private:
    static QVector<int> gridLine(const LedLayout& layout, int from, int to);
    static QVector<int> box(const LedLayout& layout, int from, int to, bool filled, bool square);
    static QVector<int> gridEllipse(const LedLayout& layout, int from, int to, bool filled, bool square);
    static QVector<int> band(const LedLayout& layout, int from, int to, bool filled);
    static QVector<int> ringLine(const LedLayout& layout, int from, int to);
    static QVector<int> ringEllipse(const LedLayout& layout, const QPointF& from, QPointF to, bool filled,
                                    bool square);
    static double halfNeighbourDistance(const LedLayout& layout, int row, int column);
};

#endif // LEDSHAPES_H
