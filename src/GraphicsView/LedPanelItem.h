#ifndef LEDPANELITEM_H
#define LEDPANELITEM_H

#include "GraphicsView/LedHitIndex.h"
#include "Painter/LedPanelPainter.h"
#include "Painter/LedStamps.h"

#include <QGraphicsItem>
#include <QImage>
#include <QTransform>
#include <QVector>

// The whole panel as one item: the body and every LED of the shown values, drawn
// in one pass. LEDs are stamped from pictures of a lit and a dark LED drawn by the
// panel painter at the current zoom, so a frame costs little more per LED than
// copying its pixels; an LED that changes repaints only its own square.
class LedPanelItem : public QGraphicsItem
{
public:
    LedPanelItem(const LedPanelPainter& painter, const LedHitIndex& index);

    // The values shown, one per LED; empty shows the body alone.
    const QVector<int>& values() const;
    void setValues(const QVector<int>& values);
    // The square an LED covers when drawn, in scene units.
    QRectF ledRect(int led) const;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    // Whether LEDs reaching into the scene rectangle make most of the panel.
    bool coversMost(const QRectF& rect) const;
    // The LEDs reaching into the scene rectangle, in index order.
    QVector<int> ledsNear(const QRectF& rect) const;
    void drawLeds(QPainter* painter, const QRectF& exposed);
    // The body under the LEDs, into the layer that covers the area in device pixels.
    void drawBody(const QPainter* painter, const QRect& deviceArea, qreal dpr, bool keep);

    LedPanelPainter m_Painter;
    LedHitIndex m_Index;
    QRectF m_Bounds;
    qreal m_Reach;
    QVector<int> m_Values;

    LedStamps m_Stamps;
    // Where each LED lands at the stamps' scale, for the sub-pixel offset below:
    // moving the view by whole pixels keeps them.
    QVector<LedStamps::Spot> m_Spots;
    QPointF m_SpotsOffset;
    QImage m_Layer;
    QImage m_Body;
    QRect m_BodyArea;
    QTransform m_BodyTransform;
};

#endif // LEDPANELITEM_H
