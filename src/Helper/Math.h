#ifndef MATH_H
#define MATH_H

#include <QPointF>

// Polar points hold the radius in x and the angle in degrees in y; angles grow
// from the positive x axis towards the positive y axis.
QPointF cartesianToPolar(const QPointF& pt);
QPointF polarToCartesian(const QPointF& pt);

#endif // MATH_H
