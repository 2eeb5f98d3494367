#include "Helper/Math.h"

#include <QtMath>

QPointF cartesianToPolar(const QPointF& pt)
{
    const qreal radius = qSqrt(pt.x() * pt.x() + pt.y() * pt.y());
    const qreal angle = qRadiansToDegrees(qAtan2(pt.y(), pt.x()));
    return QPointF(radius, angle);
}

QPointF polarToCartesian(const QPointF& pt)
{
    const qreal angle = qDegreesToRadians(pt.y());
    return QPointF(pt.x() * qCos(angle), pt.x() * qSin(angle));
}
