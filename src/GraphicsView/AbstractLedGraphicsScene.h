#ifndef ABSTRACTLEDGRAPHICSSCENE_H
#define ABSTRACTLEDGRAPHICSSCENE_H

#include "Data/LedLayout.h"
#include "Painter/LedPanelPainter.h"

#include <QGraphicsScene>
#include <QList>

class LedGraphicsItem;
class LedStateCommand;
class QXmlStreamReader;
class QXmlStreamWriter;

// Draws a panel layout: the body, and one LED item per LED showing the bound frame.
// The layout value says where the LEDs and the body are, the panel painter how
// they look; the two kinds of panel differ in nothing else.
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

    eType type() const;
    int rows() const;
    int columns() const;
    // Reads the Layout element the reader stands on and lays the scene out again;
    // any other element is left alone.
    void readXML(QXmlStreamReader& xml);
    void writeXML(QXmlStreamWriter& xml) const;
    qreal ledItemsSize() const;
    // How the body and the LEDs are drawn.
    const LedPanelPainter& panelPainter() const;

    // A scene of the layout's kind that draws it.
    static AbstractLedGraphicsScene* create(const LedLayout& layout, QObject* parent = nullptr);
    const LedLayout& layout() const;
    // Draws another layout of the same kind; the LED items start without a frame.
    void setLayout(const LedLayout& layout);
    // Rebuilds the body and every LED item from the layout.
    void createLayout();

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
    // Lays out the default panel of that type.
    AbstractLedGraphicsScene(LedLayout::eType type, QObject* parent);

    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

    void clearLayout();

private:
    // Gives every LED under the segment the stroke's state, as part of the stroke's one edit.
    void paintSegment(const QPointF& from, const QPointF& to);
    void setLed(LedGraphicsItem* item, int value, const QString& text);

    LedLayout m_Layout;
    LedPanelPainter m_Painter;
    QList<QGraphicsItem*> m_BackgroundItems; // the body; the LED items are its children
    QList<LedGraphicsItem*> m_LedItems;
    LedStateCommand* m_pFrame;
    int m_StrokeValue; // the state a stroke paints; -1 while no stroke runs
    int m_StrokeId;
    QPointF m_StrokePoint;
};

#endif // ABSTRACTLEDGRAPHICSSCENE_H
