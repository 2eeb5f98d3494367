#include "GraphicsView/LedStateWidget.h"

#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"
#include "LedPanelContextMenu.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtMath>

namespace {

const qreal minimumZoom = 1.0;
const qreal maximumZoom = 50.0;
const int zoomAllStep = 200;

} // namespace

LedStateWidget::LedStateWidget(QWidget* parent)
    : QGraphicsView(parent)
    , m_scaleFactor(1.0)
    , m_pContextMenu(new LedPanelContextMenu(this))
{
    m_pContextMenu->connect(this);

    setRenderHint(QPainter::Antialiasing, true);
    setOptimizationFlags(QGraphicsView::DontSavePainterState);
    setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &LedStateWidget::customContextMenuRequested);

    // The document's first layout; it stays with the view even after a scene
    // read from a file has replaced it.
    setScene(new LedGraphicsScene_Ring(this));
}

AbstractLedGraphicsScene* LedStateWidget::scene() const
{
    return qobject_cast<AbstractLedGraphicsScene*>(QGraphicsView::scene());
}

void LedStateWidget::setScene(AbstractLedGraphicsScene* scene)
{
    QGraphicsView::setScene(scene);
}

void LedStateWidget::customContextMenuRequested(const QPoint& pos)
{
    m_pContextMenu->popup(viewport()->mapToGlobal(pos));
}

void LedStateWidget::ZoomAll()
{
    // Whole 200-pixel lengths only: 399 pixels count as one.
    const qreal sx = width() / zoomAllStep;
    const qreal sy = height() / zoomAllStep;
    const qreal scale = 0.95 * qMin(sx, sy);

    // A view shorter than 200 pixels would get a zoom of 0, which collapses
    // the scene for good; keep the zoom it has.
    if (scale > 0.0) {
        const qreal z = scale / m_scaleFactor;
        QGraphicsView::scale(z, z);
        m_scaleFactor = scale;
    }
    ScrollToCenter();
}

void LedStateWidget::ScrollToCenter()
{
    QScrollBar* vertical = verticalScrollBar();
    vertical->setValue(vertical->minimum() + (vertical->maximum() - vertical->minimum()) / 2);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setValue(horizontal->minimum() + (horizontal->maximum() - horizontal->minimum()) / 2);
}

void LedStateWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::MiddleButton) {
        QGraphicsView::mousePressEvent(event);
        return;
    }

    // The scene must not see the pan at all, or a press would toggle an LED.
    setDragMode(QGraphicsView::ScrollHandDrag);
    setInteractive(false);
    QGraphicsView::mousePressEvent(event);

    // Hand scrolling starts only on a left press.
    QMouseEvent leftPress(event->type(), event->localPos(), event->windowPos(), event->screenPos(),
                          Qt::LeftButton, event->buttons(), event->modifiers());
    QGraphicsView::mousePressEvent(&leftPress);
}

void LedStateWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::MiddleButton) {
        QGraphicsView::mouseReleaseEvent(event);
        return;
    }

    QMouseEvent leftRelease(event->type(), event->localPos(), event->windowPos(), event->screenPos(),
                            Qt::LeftButton, event->buttons(), event->modifiers());
    QGraphicsView::mouseReleaseEvent(&leftRelease);
    setInteractive(true);
    setDragMode(QGraphicsView::RubberBandDrag);
}

void LedStateWidget::mouseMoveEvent(QMouseEvent* event)
{
    QGraphicsView::mouseMoveEvent(event);
}

void LedStateWidget::wheelEvent(QWheelEvent* event)
{
    const QPointF cursor = event->position();
    const QPointF ptScene = mapToScene(cursor.toPoint());

    qreal scaleFactor = qPow(1.6, event->angleDelta().y() / 240.0);
    const qreal s = m_scaleFactor * scaleFactor;
    if (s > maximumZoom)
        scaleFactor = maximumZoom / m_scaleFactor;
    if (s < minimumZoom)
        scaleFactor = minimumZoom / m_scaleFactor;

    scale(scaleFactor, scaleFactor);
    m_scaleFactor *= scaleFactor;

    // The anchor keeps the point only while the real cursor is over the view;
    // put the scene point back under the event's position ourselves.
    const QPoint ptView = mapFromScene(ptScene);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setValue(int(horizontal->value() + ptView.x() - cursor.x()));
    QScrollBar* vertical = verticalScrollBar();
    vertical->setValue(int(vertical->value() + ptView.y() - cursor.y()));

    event->accept();
}
