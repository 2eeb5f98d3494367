#include "Painter/LedPanelPainter.h"

#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include <cmath>

LedPanelPainter::LedPanelPainter(const LedLayout& layout)
    : m_Layout(layout)
    , m_Antialiased(true)
    , m_Outlined(false)
    , m_MinimumLedDiameter(0)
{
}

const LedLayout& LedPanelPainter::layout() const
{
    return m_Layout;
}

QRectF LedPanelPainter::sceneRect() const
{
    return m_Layout.sceneRect();
}

void LedPanelPainter::setAntialiased(bool on)
{
    m_Antialiased = on;
}

bool LedPanelPainter::isAntialiased() const
{
    return m_Antialiased;
}

void LedPanelPainter::setOutlined(bool on)
{
    m_Outlined = on;
}

void LedPanelPainter::setMinimumLedDiameter(qreal pixels)
{
    m_MinimumLedDiameter = qMax<qreal>(0, pixels);
}

QColor LedPanelPainter::backgroundColor()
{
    return QColor(Qt::white);
}

QColor LedPanelPainter::bodyColor()
{
    return QColor(Qt::blue);
}

QColor LedPanelPainter::litColor()
{
    return QColor(Qt::yellow);
}

QColor LedPanelPainter::darkColor()
{
    return QColor(Qt::darkGray);
}

QTransform LedPanelPainter::transformTo(const QRectF& target) const
{
    const QRectF area = sceneRect();
    const qreal scale = area.width() > 0 && area.height() > 0
        ? qMin(target.width() / area.width(), target.height() / area.height())
        : 1.0;
    QTransform transform;
    transform.translate(target.center().x(), target.center().y());
    transform.scale(scale, scale);
    transform.translate(-area.center().x(), -area.center().y());
    return transform;
}

qreal LedPanelPainter::ledRadius(const QPainter* painter) const
{
    const qreal radius = m_Layout.ledItemsSize();
    if (m_MinimumLedDiameter <= 0)
        return radius;
    const qreal scale = std::sqrt(std::fabs(painter->transform().determinant()));
    if (scale <= 0)
        return radius;
    return qMax(radius, m_MinimumLedDiameter / 2 / scale);
}

QRectF LedPanelPainter::bodyRect() const
{
    if (m_Layout.type() != LedLayout::Ring)
        return m_Layout.rectangle().normalized();
    // The stroke reaches half its width beyond the middle circle on either side.
    const qreal reach = qAbs(m_Layout.innerDiameter() + m_Layout.outerDiameter()) / 2
        + qAbs(m_Layout.outerDiameter() - m_Layout.innerDiameter()) / 2;
    return QRectF(-reach, -reach, 2 * reach, 2 * reach);
}

void LedPanelPainter::drawBody(QPainter* painter) const
{
    Q_ASSERT(painter);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, m_Antialiased);
    if (m_Layout.type() == LedLayout::Ring) {
        // The diameters are radii; a body whose outer edge lies inside the inner
        // one gets a stroke of the absolute width rather than a negative pen.
        const qreal width = qAbs(m_Layout.outerDiameter() - m_Layout.innerDiameter());
        const qreal radius = (m_Layout.innerDiameter() + m_Layout.outerDiameter()) / 2;
        painter->setPen(QPen(QBrush(bodyColor()), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawEllipse(QPointF(0, 0), radius, radius);
    } else {
        painter->fillRect(m_Layout.rectangle(), bodyColor());
    }
    painter->restore();
}

void LedPanelPainter::drawLedAt(QPainter* painter, const QPointF& centre, bool lit) const
{
    Q_ASSERT(painter);
    const qreal radius = ledRadius(painter);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, m_Antialiased);
    if (m_Outlined)
        painter->setPen(QPen(QBrush(Qt::black), 0.1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    else
        painter->setPen(Qt::NoPen);
    painter->setBrush(lit ? litColor() : darkColor());
    painter->drawEllipse(centre, radius, radius);
    painter->restore();
}

void LedPanelPainter::drawPanel(QPainter* painter, const QVector<int>& intensities) const
{
    Q_ASSERT(painter);
    drawBody(painter);
    const qint64 count = m_Layout.ledCount();
    if (count <= 0 || count > LedLayout::MaxLedCount)
        return;
    if (m_Outlined) {
        for (int led = 0; led < int(count); ++led)
            drawLedAt(painter, m_Layout.ledPositionOf(led), intensities.value(led) > 0);
        return;
    }
    // Round points in two calls: one ellipse per LED costs twice as much.
    QPolygonF lit, dark;
    for (int led = 0; led < int(count); ++led)
        (intensities.value(led) > 0 ? lit : dark).append(m_Layout.ledPositionOf(led));
    drawLedSpots(painter, dark, false);
    drawLedSpots(painter, lit, true);
}

void LedPanelPainter::drawLedSpots(QPainter* painter, const QPolygonF& positions, bool lit) const
{
    Q_ASSERT(painter);
    if (positions.isEmpty())
        return;
    const qreal diameter = 2 * ledRadius(painter);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, m_Antialiased);
    painter->setPen(QPen(QBrush(lit ? litColor() : darkColor()), diameter, Qt::SolidLine, Qt::RoundCap));
    painter->drawPoints(positions);
    painter->restore();
}
