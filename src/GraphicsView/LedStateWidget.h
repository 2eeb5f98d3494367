#ifndef LEDSTATEWIDGET_H
#define LEDSTATEWIDGET_H

#include "GraphicsView/LedKeyboardCursor.h"
#include "GraphicsView/LedPointerEvent.h"
#include "Data/LedSelection.h"

#include <QGraphicsView>
#include <QPointer>

class AbstractLedGraphicsScene;
class LedPanelContextMenu;
class SelectionOutlineItem;

// Shows the layout scene with the current frame. The view fits the panel in
// when it gets a scene, is shown or is resized, until the wheel zooms around
// the cursor, between 50 pixels per scene unit and 1 or the fitted zoom if
// that is smaller. The middle button pans; the other buttons reach the scene,
// whose pointer events the view passes on as its own, whichever scene it shows.
// With the focus here the arrow keys move an outline over the LEDs and Space or
// Enter activates the LED under it; while LEDs are selected the arrows, Del and
// Esc are the selection's instead. The selection is the view's, drawn as a
// dashed outline; another scene (another layout) clears it.
class LedStateWidget : public QGraphicsView
{
    Q_OBJECT

public:
    explicit LedStateWidget(QWidget* parent);

    AbstractLedGraphicsScene* scene() const;
    void setScene(AbstractLedGraphicsScene* scene);
    // The LED under the keyboard's outline.
    int currentLed() const;
    const LedSelection& selection() const;
    void setSelection(const LedSelection& selection);

signals:
    void ledPressed(const LedPointerEvent& event);
    void ledMoved(const LedPointerEvent& event);
    void ledReleased(const LedPointerEvent& event);
    void ledActivated(int led);
    void selectionChanged();
    // An arrow, Del or Esc pressed while LEDs are selected.
    void selectionKeyPressed(int key);
    // Another layout is shown.
    void sceneReplaced();

public slots:
    void customContextMenuRequested(const QPoint& pos);
    void ZoomAll();
    void ScrollToCenter();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool isCursorKey(const QKeyEvent* event) const;
    bool isSelectionKey(const QKeyEvent* event) const;
    void showSelection();
    void fit();
    void updateCursor();

    qreal m_scaleFactor;
    qreal m_MinimumZoom;
    qreal m_MaximumZoom;
    // Until the wheel zooms, the panel is fitted in again whenever the view changes size.
    bool m_Fitted;
    LedKeyboardCursor m_Cursor;
    LedPanelContextMenu* m_pContextMenu;
    LedSelection m_Selection;
    SelectionOutlineItem* m_pOutline;
    QPointer<QGraphicsScene> m_pOutlineScene;
    QList<QMetaObject::Connection> m_SceneConnections;
};

#endif // LEDSTATEWIDGET_H
