#ifndef ONIONSKINITEM_H
#define ONIONSKINITEM_H

#include <QColor>
#include <QGraphicsItem>

class AbstractLedGraphicsScene;

// Lies over the LEDs of a layout scene and marks, in a dim yellow, every LED
// that is dark in the shown frame but lit in the frame before it, so a moving
// pattern is easy to continue. It reads both from the scene when it paints and
// takes no clicks.
class OnionSkinItem : public QGraphicsItem
{
public:
    OnionSkinItem();

    static QColor color();

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    AbstractLedGraphicsScene* ledScene() const;

    QRectF m_Bounds;
};

#endif // ONIONSKINITEM_H
