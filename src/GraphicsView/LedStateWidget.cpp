#include "GraphicsView/LedStateWidget.h"

#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"
#include "GraphicsView/SelectionOutlineItem.h"
#include "LedPanelContextMenu.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtMath>

namespace {

const qreal minimumZoom = 1.0;
const qreal maximumZoom = 50.0;
// The share of the view the fitted panel takes along its tighter side.
const qreal fitMargin = 0.95;

} // namespace

LedStateWidget::LedStateWidget(QWidget* parent)
    : QGraphicsView(parent)
    , m_scaleFactor(1.0)
    , m_MinimumZoom(minimumZoom)
    , m_MaximumZoom(maximumZoom)
    , m_Fitted(true)
    , m_pContextMenu(new LedPanelContextMenu(this))
    , m_pOutline(nullptr)
{
    m_pContextMenu->connect(this);

    setRenderHint(QPainter::Antialiasing, true);
    setOptimizationFlags(QGraphicsView::DontSavePainterState);
    setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);

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
    while (!m_SceneConnections.isEmpty())
        disconnect(m_SceneConnections.takeFirst());
    QGraphicsView::setScene(scene);
    if (scene) {
        m_SceneConnections << connect(scene, &AbstractLedGraphicsScene::ledPressed, this, &LedStateWidget::ledPressed)
                           << connect(scene, &AbstractLedGraphicsScene::ledMoved, this, &LedStateWidget::ledMoved)
                           << connect(scene, &AbstractLedGraphicsScene::ledReleased, this, &LedStateWidget::ledReleased)
                           << connect(scene, &AbstractLedGraphicsScene::ledActivated, this, &LedStateWidget::ledActivated);
    }
    m_Cursor.setLayout(scene ? scene->layout() : LedLayout());
    // The outline went with the scene that held it, or stays behind in one no longer shown.
    if (m_pOutline && m_pOutlineScene) {
        m_pOutlineScene->removeItem(m_pOutline);
        delete m_pOutline;
    }
    m_pOutline = nullptr;
    m_Selection = LedSelection(scene ? int(scene->layout().ledCount()) : 0);
    showSelection();
    emit selectionChanged();
    emit sceneReplaced();
    // Another panel: whatever zoom the user chose was for the old one.
    m_Fitted = true;
    fit();
}

int LedStateWidget::currentLed() const
{
    return m_Cursor.index();
}

const LedSelection& LedStateWidget::selection() const
{
    return m_Selection;
}

void LedStateWidget::setSelection(const LedSelection& selection)
{
    if (selection == m_Selection)
        return;
    Q_ASSERT(selection.ledCount() == m_Selection.ledCount());
    m_Selection = selection;
    showSelection();
    emit selectionChanged();
}

void LedStateWidget::showSelection()
{
    AbstractLedGraphicsScene* ledScene = scene();
    if (m_pOutline && (!m_pOutlineScene || m_pOutlineScene != ledScene))
        m_pOutline = nullptr;
    if (!ledScene || m_Selection.isEmpty()) {
        if (m_pOutline)
            m_pOutline->setVisible(false);
        return;
    }
    const LedLayout& layout = ledScene->layout();
    if (!m_pOutline) {
        m_pOutline = new SelectionOutlineItem(layout.ledItemsSize());
        ledScene->addItem(m_pOutline);
        m_pOutlineScene = ledScene;
    }
    QVector<QPointF> centres;
    for (int led : m_Selection.leds())
        centres.append(layout.ledPositionOf(led));
    m_pOutline->setCentres(centres);
    m_pOutline->setVisible(true);
}

void LedStateWidget::customContextMenuRequested(const QPoint& pos)
{
    m_pContextMenu->popup(viewport()->mapToGlobal(pos));
}

void LedStateWidget::ZoomAll()
{
    m_Fitted = true;
    fit();
}

void LedStateWidget::fit()
{
    const QRectF bounds = sceneRect();
    const QRect area = viewport()->rect();
    if (bounds.isEmpty() || area.isEmpty())
        return;
    const qreal scale = fitMargin * qMin(area.width() / bounds.width(), area.height() / bounds.height());
    // A panel so large that it fits below a pixel per unit; never a zoom that collapses the scene.
    if (!(scale > 0.0) || !qIsFinite(scale))
        return;
    m_MinimumZoom = qMin(minimumZoom, scale);
    m_MaximumZoom = qMax(maximumZoom, scale);
    setTransform(QTransform::fromScale(scale, scale));
    m_scaleFactor = scale;
    centerOn(bounds.center());
}

void LedStateWidget::ScrollToCenter()
{
    QScrollBar* vertical = verticalScrollBar();
    vertical->setValue(vertical->minimum() + (vertical->maximum() - vertical->minimum()) / 2);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setValue(horizontal->minimum() + (horizontal->maximum() - horizontal->minimum()) / 2);
}

bool LedStateWidget::isCursorKey(const QKeyEvent* event) const
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const AbstractLedGraphicsScene* ledScene = scene();
    if (!ledScene || !ledScene->hasFrame() || m_Cursor.index() < 0)
        return false;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        return false;
    }
}

bool LedStateWidget::isSelectionKey(const QKeyEvent* event) const
{
    if (m_Selection.isEmpty() || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Delete:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

bool LedStateWidget::event(QEvent* event)
{
    // Del deletes frames elsewhere; here, with LEDs selected, it clears them. Esc stays
    // "Stop writing" while a write runs.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isSelectionKey(key) && key->key() != Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    // Space is also the window's Play key; here, on a frame, it is the LED's.
    if (event->type() == QEvent::ShortcutOverride && isCursorKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QGraphicsView::event(event);
}

void LedStateWidget::keyPressEvent(QKeyEvent* event)
{
    if (isSelectionKey(event)) {
        event->accept();
        emit selectionKeyPressed(event->key());
        return;
    }
    if (!isCursorKey(event)) {
        QGraphicsView::keyPressEvent(event);
        return;
    }
    event->accept();
    updateCursor();
    if (m_Cursor.move(event->key())) {
        updateCursor();
        ensureVisible(m_Cursor.rect());
        return;
    }
    scene()->activateLed(m_Cursor.index());
}

void LedStateWidget::focusInEvent(QFocusEvent* event)
{
    QGraphicsView::focusInEvent(event);
    updateCursor();
}

void LedStateWidget::focusOutEvent(QFocusEvent* event)
{
    QGraphicsView::focusOutEvent(event);
    updateCursor();
}

void LedStateWidget::showEvent(QShowEvent* event)
{
    QGraphicsView::showEvent(event);
    // A page built while hidden had no size of its own to fit to.
    if (m_Fitted)
        fit();
}

void LedStateWidget::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    if (m_Fitted)
        fit();
}

void LedStateWidget::paintEvent(QPaintEvent* event)
{
    // An LED clicked and the outline leaving another: the scene is told each part on its
    // own, or it would draw everything between them.
    const QRegion region = event->region();
    const int fewParts = 8;
    if (region.rectCount() < 2 || region.rectCount() > fewParts) {
        QGraphicsView::paintEvent(event);
        return;
    }
    for (const QRect& rect : region) {
        QPaintEvent part(rect);
        QGraphicsView::paintEvent(&part);
    }
}

void LedStateWidget::drawForeground(QPainter* painter, const QRectF& rect)
{
    QGraphicsView::drawForeground(painter, rect);
    if (hasFocus() && m_Cursor.rect().intersects(rect))
        m_Cursor.paint(painter);
}

void LedStateWidget::updateCursor()
{
    // The outline's pen is in pixels, outside its rectangle in the scene.
    viewport()->update(mapFromScene(m_Cursor.rect()).boundingRect().adjusted(-4, -4, 4, 4));
}

void LedStateWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::MiddleButton) {
        // The keyboard goes on from the LED last clicked.
        const int led = scene() && event->button() == Qt::LeftButton ? scene()->ledAt(mapToScene(event->pos())) : -1;
        if (led >= 0) {
            updateCursor();
            m_Cursor.setIndex(led);
            updateCursor();
        }
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
    setDragMode(QGraphicsView::NoDrag);
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
    if (s > m_MaximumZoom)
        scaleFactor = m_MaximumZoom / m_scaleFactor;
    if (s < m_MinimumZoom)
        scaleFactor = m_MinimumZoom / m_scaleFactor;
    m_Fitted = false;

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
