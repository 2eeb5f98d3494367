#ifndef LEDPANELPAINTER_H
#define LEDPANELPAINTER_H

#include "Data/LedLayout.h"

#include <QColor>
#include <QRectF>
#include <QTransform>
#include <QVector>

class QPainter;
class QPolygonF;

// Draws a panel the one way the program shows it, on any painter: the LED view's
// items, the tree's pictures and exported images all come from here. It draws in
// scene coordinates; the caller sets the painter's transform.
class LedPanelPainter
{
public:
    explicit LedPanelPainter(const LedLayout& layout);

    const LedLayout& layout() const;
    // What a whole panel drawing covers, in scene units.
    QRectF sceneRect() const;

    // Off, a drawing holds only the four colours below.
    void setAntialiased(bool on);
    bool isAntialiased() const;
    // A thin black edge around each LED, as the LED view draws them.
    void setOutlined(bool on);
    // Small pictures keep their LEDs at least this many device pixels across.
    void setMinimumLedDiameter(qreal pixels);

    // What the body covers, its edges included.
    QRectF bodyRect() const;
    void drawBody(QPainter* painter) const;
    // An LED of this layout around any centre: the LED view's items draw around their origin.
    void drawLedAt(QPainter* painter, const QPointF& centre, bool lit) const;
    // The body and every LED in index order; a positive intensity is lit, any other or a missing one dark.
    void drawPanel(QPainter* painter, const QVector<int>& intensities) const;
    // LEDs at these scene positions as drawPanel() draws them without an outline.
    void drawLedSpots(QPainter* painter, const QPolygonF& positions, bool lit) const;

    // Maps the scene rectangle into the target, centred, keeping its aspect.
    QTransform transformTo(const QRectF& target) const;

    static QColor backgroundColor();
    static QColor bodyColor();
    static QColor litColor();
    static QColor darkColor();

private:
    qreal ledRadius(const QPainter* painter) const;

    LedLayout m_Layout;
    bool m_Antialiased;
    bool m_Outlined;
    qreal m_MinimumLedDiameter;
};

#endif // LEDPANELPAINTER_H
