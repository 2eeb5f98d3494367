#ifndef ABSTRACTLEDGRAPHICSSCENE_H
#define ABSTRACTLEDGRAPHICSSCENE_H

#include "Data/LedLayout.h"
#include "GraphicsView/LedHitIndex.h"
#include "GraphicsView/LedPointerEvent.h"
#include "Painter/LedPanelPainter.h"

#include <QGraphicsScene>
#include <QVector>

class LedPanelItem;
class LedStateCommand;
class QXmlStreamReader;
class QXmlStreamWriter;

// Draws a panel layout with the values of the frame last shown, and tells what the
// user does on it. The scene only looks: it keeps a copy of the values it shows and
// never changes a frame; the drawing tools turn its pointer events into edits.
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
    // Draws another layout of the same kind; no frame is shown until the next setFrame().
    void setLayout(const LedLayout& layout);
    // Lays the panel out again from the layout.
    void createLayout();

    // rows × columns without overflow; 0 when either is not positive.
    static qint64 ledCount(int rows, int columns);

    // Whether a frame has been shown since the layout was made.
    bool hasFrame() const;
    // The values shown, one per LED; empty before the first frame.
    QVector<int> values() const;
    // The values of the frame before the shown one in its sequence; empty for the first frame.
    QVector<int> previousValues() const;
    // The LED whose circle holds the scene point, -1 beside every LED or before a frame is shown.
    int ledAt(const QPointF& point) const;
    // The LEDs whose centre lies within reach of the segment.
    QVector<int> ledsAlong(const QPointF& from, const QPointF& to, qreal reach) const;
    // The keyboard chose an LED (Space or Enter on it).
    void activateLed(int led);

public slots:
    // Shows the frame's values as they are now; called again after the frame changed,
    // only the LEDs that differ are repainted.
    void setFrame(LedStateCommand* ledFrame);

signals:
    void ledPressed(const LedPointerEvent& event);
    void ledMoved(const LedPointerEvent& event);
    void ledReleased(const LedPointerEvent& event);
    void ledActivated(int led);

protected:
    // Lays out the default panel of that type.
    AbstractLedGraphicsScene(LedLayout::eType type, QObject* parent);

    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private:
    LedPointerEvent pointerEvent(const QGraphicsSceneMouseEvent* event) const;

    LedLayout m_Layout;
    LedPanelPainter m_Painter;
    LedHitIndex m_Index;
    LedPanelItem* m_pPanel;
    QVector<int> m_Previous;
};

#endif // ABSTRACTLEDGRAPHICSSCENE_H
