#ifndef ABSTRACTLEDGRAPHICSSCENE_H
#define ABSTRACTLEDGRAPHICSSCENE_H

#include "Data/LedLayout.h"

#include <QGraphicsScene>
#include <QList>

class LedGraphicsItem;
class LedStateCommand;
class QAbstractGraphicsShapeItem;
class QXmlStreamReader;
class QXmlStreamWriter;

// Draws a panel layout: the body, and one LED item per LED showing the bound frame.
class AbstractLedGraphicsScene : public QGraphicsScene
{
    Q_OBJECT

public:
    enum eType
    {
        Rectangle = LedLayout::Rectangle,
        Ring = LedLayout::Ring
    };

    static constexpr int MaxLedCount = LedLayout::MaxLedCount;

    explicit AbstractLedGraphicsScene(QObject* parent = nullptr);

    virtual eType type() = 0;
    virtual int rows() = 0;
    virtual int columns() = 0;
    virtual void readXML(QXmlStreamReader& xml) = 0;
    virtual void writeXML(QXmlStreamWriter& xml) = 0;
    virtual qreal ledItemsSize() const = 0;

    // A scene of the layout's kind that draws it.
    static AbstractLedGraphicsScene* create(const LedLayout& layout, QObject* parent = nullptr);
    const LedLayout& layout() const;
    // Draws another layout of the same kind; the LED items start without a frame.
    void setLayout(const LedLayout& layout);

    // rows × columns without overflow; 0 when either is not positive.
    static qint64 ledCount(int rows, int columns);

    QList<LedGraphicsItem*> ledItems() const;
    LedStateCommand* frame() const;

    // Leaves every LED item without data, so nothing points into a frame
    // that is about to go away.
    void clearFrame();
    // Switches an LED of the bound frame on or off, through its show's edit door,
    // and starts a stroke: moving on with the button held paints that new state.
    void toggleLed(int index);

public slots:
    void setFrame(LedStateCommand* ledFrame);

signals:
    // The user changed an LED's intensity with a click.
    void ledToggled();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

    virtual void rebuild() = 0;
    void clearLayout();
    // Creates the LED items row by row as children of the body, each at its place
    // in the layout, and adds the body with its LEDs to the scene.
    void placeLedItems(QAbstractGraphicsShapeItem* background);

    LedLayout m_Layout;
    QList<QAbstractGraphicsShapeItem*> m_BackgroundItems;
    QList<LedGraphicsItem*> m_LedItems;
    LedStateCommand* m_pFrame;

private:
    // Gives every LED under the segment the stroke's state, as part of the stroke's one edit.
    void paintSegment(const QPointF& from, const QPointF& to);
    void setLed(LedGraphicsItem* item, int value, const QString& text);

    int m_StrokeValue; // the state a stroke paints; -1 while no stroke runs
    int m_StrokeId;
    QPointF m_StrokePoint;
};

#endif // ABSTRACTLEDGRAPHICSSCENE_H
