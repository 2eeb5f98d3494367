#ifndef LEDSTATEWIDGET_H
#define LEDSTATEWIDGET_H

#include <QGraphicsView>

class AbstractLedGraphicsScene;
class LedPanelContextMenu;

// Shows the layout scene with the current frame. The wheel zooms around the
// cursor between 1 and 50 pixels per scene unit, the middle button pans, and
// left clicks reach the LEDs.
class LedStateWidget : public QGraphicsView
{
    Q_OBJECT

public:
    explicit LedStateWidget(QWidget* parent);

    AbstractLedGraphicsScene* scene() const;
    void setScene(AbstractLedGraphicsScene* scene);


public slots:
    void customContextMenuRequested(const QPoint& pos);
    void ZoomAll();
    void ScrollToCenter();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    qreal m_scaleFactor;
    LedPanelContextMenu* m_pContextMenu;
};

#endif // LEDSTATEWIDGET_H
