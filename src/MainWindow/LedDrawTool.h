#ifndef LEDDRAWTOOL_H
#define LEDDRAWTOOL_H

#include "Data/LedShapes.h"
#include "Data/LedSymmetry.h"
#include "GraphicsView/LedPointerEvent.h"

#include <QObject>
#include <QPointF>
#include <QPointer>

class LedPanelDocument;
class LedStateWidget;
class QGraphicsScene;
class ShapePreviewItem;

// The drawing tools on a document's LED view: they turn what the user does on the
// view into edits of the current frame, through the document. The pen toggles the
// LED pressed and paints that new state along the stroke; Space or Enter on an LED
// toggles it whatever the tool. A line, rectangle or ellipse is pressed, dragged
// with a preview and set on release (Esc cancels it), a fill is a click. Each
// stroke, shape or fill is one undo step, named after its tool. Everything drawn
// is repeated as the symmetry asks, and stays within the view's selection if
// there is one. The select tool's presses are not drawing: they are left alone.
class LedDrawTool : public QObject
{
    Q_OBJECT

public:
    enum eTool
    {
        Pen,
        Line,
        Rectangle,
        Ellipse,
        Fill,
        Select
    };

    explicit LedDrawTool(QObject* parent = nullptr);
    ~LedDrawTool() override;

    void setDocument(LedPanelDocument* document);
    eTool tool() const;
    void setTool(eTool tool);
    // Whether shapes light or darken the LEDs they cover; a fill always gives the other state.
    void setLit(bool lit);
    void setFilled(bool filled);
    void setSymmetry(const LedSymmetry& symmetry);
    bool isDragging() const;

    // The undo step's name.
    static QString text(eTool tool);

signals:
    // A shape or fill is about to start: whatever plays on the document should stop.
    void aboutToDraw();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pressed(const LedPointerEvent& event);
    void moved(const LedPointerEvent& event);
    void released(const LedPointerEvent& event);
    // Switches the LED on or off as one undo step of its own; returns the new value, -1 for none.
    int toggle(int led);
    void paintStroke(const QPointF& to);
    void cancel();
    void fill(const QPointF& point);
    QVector<int> covered(const QPointF& to, Qt::KeyboardModifiers modifiers) const;
    // The LEDs with their symmetric repetitions, those outside the selection dropped.
    QVector<int> constrained(const QVector<int>& leds) const;
    void showPreview(const QVector<int>& leds);
    void removePreview();
    void submit(const QVector<int>& leds, int value);

    QPointer<LedPanelDocument> m_pDocument;
    QPointer<LedStateWidget> m_pView;
    QList<QMetaObject::Connection> m_ViewConnections;
    QPointer<QGraphicsScene> m_pPreviewScene;
    ShapePreviewItem* m_pPreview;
    eTool m_Tool;
    bool m_Lit;
    bool m_Filled;
    LedSymmetry m_Symmetry;
    bool m_Dragging;
    QPointF m_From;
    // The state the pen's stroke paints; -1 while no stroke runs.
    int m_StrokeValue;
    int m_StrokeId;
    QPointF m_StrokePoint;
};

#endif // LEDDRAWTOOL_H
