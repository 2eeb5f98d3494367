#ifndef LEDDRAWTOOL_H
#define LEDDRAWTOOL_H

#include "Data/LedShapes.h"

#include <QObject>
#include <QPointF>
#include <QPointer>

class LedPanelDocument;
class LedStateWidget;
class QGraphicsScene;
class QMouseEvent;
class ShapePreviewItem;

// The drawing tools on a document's LED view. The pen is the view's own click
// and stroke; with the other tools the left button belongs to the tool: a line,
// rectangle or ellipse is pressed, dragged with a preview and set on release
// (Esc cancels it), a fill is a click. Each shape or fill is one undo step of
// the current frame, named after its tool.
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
        Fill
    };

    explicit LedDrawTool(QObject* parent = nullptr);
    ~LedDrawTool() override;

    void setDocument(LedPanelDocument* document);
    eTool tool() const;
    void setTool(eTool tool);
    // Whether shapes light or darken the LEDs they cover; a fill always gives the other state.
    void setLit(bool lit);
    void setFilled(bool filled);
    bool isDragging() const;

    // The undo step's name.
    static QString text(eTool tool);

signals:
    // A shape or fill is about to start: whatever plays on the document should stop.
    void aboutToDraw();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool press(QMouseEvent* event);
    void drag(QMouseEvent* event);
    void release(QMouseEvent* event);
    void cancel();
    void fill(const QPointF& point);
    QVector<int> covered(const QPointF& to, Qt::KeyboardModifiers modifiers) const;
    void showPreview(const QVector<int>& leds);
    void removePreview();
    void submit(const QVector<int>& leds, int value);

    QPointer<LedPanelDocument> m_pDocument;
    QPointer<LedStateWidget> m_pView;
    QPointer<QGraphicsScene> m_pPreviewScene;
    ShapePreviewItem* m_pPreview;
    eTool m_Tool;
    bool m_Lit;
    bool m_Filled;
    bool m_Dragging;
    QPointF m_From;
};

#endif // LEDDRAWTOOL_H
