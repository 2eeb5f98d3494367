#include "MainWindow/LedDrawTool.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedStateWidget.h"
#include "GraphicsView/ShapePreviewItem.h"

#include <QApplication>
#include <algorithm>
#include <QKeyEvent>

LedDrawTool::LedDrawTool(QObject* parent)
    : QObject(parent)
    , m_pPreview(nullptr)
    , m_Tool(Pen)
    , m_Lit(true)
    , m_Filled(false)
    , m_Dragging(false)
    , m_StrokeValue(-1)
    , m_StrokeId(0)
{
}

LedDrawTool::~LedDrawTool()
{
    cancel();
}

QString LedDrawTool::text(eTool tool)
{
    switch (tool) {
    case Pen:
        return tr("Paint");
    case Line:
        return tr("Line");
    case Rectangle:
        return tr("Rectangle");
    case Ellipse:
        return tr("Ellipse");
    case Fill:
        return tr("Flood fill");
    case Select:
        return tr("Select");
    }
    return QString();
}

void LedDrawTool::setDocument(LedPanelDocument* document)
{
    cancel();
    m_StrokeValue = -1;
    while (!m_ViewConnections.isEmpty())
        disconnect(m_ViewConnections.takeFirst());
    m_pDocument = document;
    m_pView = document ? document->ledFrame() : nullptr;
    if (m_pView) {
        m_ViewConnections << connect(m_pView, &LedStateWidget::ledPressed, this, &LedDrawTool::pressed)
                          << connect(m_pView, &LedStateWidget::ledMoved, this, &LedDrawTool::moved)
                          << connect(m_pView, &LedStateWidget::ledReleased, this, &LedDrawTool::released)
                          << connect(m_pView, &LedStateWidget::ledActivated, this, [this](int led) { toggle(led); });
    }
}

LedDrawTool::eTool LedDrawTool::tool() const
{
    return m_Tool;
}

void LedDrawTool::setTool(eTool tool)
{
    cancel();
    m_Tool = tool;
}

void LedDrawTool::setLit(bool lit)
{
    m_Lit = lit;
}

void LedDrawTool::setFilled(bool filled)
{
    m_Filled = filled;
}

void LedDrawTool::setSymmetry(const LedSymmetry& symmetry)
{
    m_Symmetry = symmetry;
}

QVector<int> LedDrawTool::constrained(const QVector<int>& leds) const
{
    if (!m_pDocument)
        return leds;
    QVector<int> result = m_Symmetry.repeated(m_pDocument->panelLayout(), leds);
    const LedSelection& selection = m_pView ? m_pView->selection() : LedSelection();
    if (!selection.isEmpty())
        result.erase(std::remove_if(result.begin(), result.end(), [&](int led) { return !selection.contains(led); }),
                     result.end());
    return result;
}

bool LedDrawTool::isDragging() const
{
    return m_Dragging;
}

bool LedDrawTool::eventFilter(QObject* watched, QEvent* event)
{
    Q_UNUSED(watched)
    // Esc is the window's "Stop writing" too; during a drag it is the drag's.
    if (m_Dragging && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (event->type() == QEvent::KeyPress)
            cancel();
        event->accept();
        return true;
    }
    return false;
}

void LedDrawTool::pressed(const LedPointerEvent& event)
{
    if (event.button != Qt::LeftButton || m_Tool == Select)
        return;
    if (m_Tool == Pen) {
        // A double click is two presses: the LED ends as it was.
        m_StrokeValue = toggle(event.led);
        m_StrokePoint = event.scenePos;
        return;
    }
    if (event.doubleClick || !m_pDocument || !m_pDocument->currentFrame())
        return;
    emit aboutToDraw();
    if (m_Tool == Fill) {
        fill(event.scenePos);
        return;
    }
    m_From = event.scenePos;
    m_Dragging = true;
    qApp->installEventFilter(this);
    showPreview(covered(event.scenePos, event.modifiers));
}

void LedDrawTool::moved(const LedPointerEvent& event)
{
    // The release went elsewhere (a pan or a menu began meanwhile): the shape is dropped.
    if (m_Dragging && !(event.buttons & Qt::LeftButton)) {
        cancel();
        return;
    }
    if (m_Dragging) {
        showPreview(covered(event.scenePos, event.modifiers));
    } else if (m_StrokeValue >= 0 && (event.buttons & Qt::LeftButton)) {
        paintStroke(event.scenePos);
        m_StrokePoint = event.scenePos;
    }
}

void LedDrawTool::released(const LedPointerEvent& event)
{
    if (event.button != Qt::LeftButton || m_Tool == Select)
        return;
    m_StrokeValue = -1;
    if (!m_Dragging)
        return;
    const QVector<int> leds = covered(event.scenePos, event.modifiers);
    cancel();
    submit(leds, m_Lit ? 1 : 0);
}

int LedDrawTool::toggle(int led)
{
    LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr;
    if (!frame || led < 0 || led >= frame->ledCount())
        return -1;
    const QVector<int> leds = constrained({ led });
    if (!leds.contains(led))
        return -1;
    const int value = frame->led(led)->intensity() > 0 ? 0 : 1;
    // Every stroke merges into an undo step of its own, never into the one before.
    static int strokes = 0;
    m_StrokeId = ++strokes;
    auto* edit = new LedValuesEdit(tr("Toggle LED"), m_StrokeId);
    edit->setLeds(frame, leds, value);
    m_pDocument->submit(edit);
    return value;
}

void LedDrawTool::paintStroke(const QPointF& to)
{
    LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr;
    const AbstractLedGraphicsScene* scene = m_pView ? m_pView->scene() : nullptr;
    if (!frame || !scene)
        return;
    // Every LED under the segment gets the stroke's state, as part of the stroke's one edit.
    auto* edit = new LedValuesEdit(tr("Paint"), m_StrokeId);
    for (int led : constrained(scene->ledsAlong(m_StrokePoint, to, scene->ledItemsSize()))) {
        if (led < frame->ledCount() && frame->led(led)->intensity() != m_StrokeValue)
            edit->set(frame, led, m_StrokeValue);
    }
    if (edit->isEmpty())
        delete edit;
    else
        m_pDocument->submit(edit);
}

void LedDrawTool::cancel()
{
    if (m_Dragging)
        qApp->removeEventFilter(this);
    m_Dragging = false;
    removePreview();
}

void LedDrawTool::fill(const QPointF& point)
{
    const LedStateCommand* frame = m_pDocument->currentFrame();
    const LedLayout& layout = m_pDocument->panelLayout();
    const int led = LedShapes::ledAt(layout, point);
    if (led < 0 || led >= frame->ledCount())
        return;
    const int value = frame->led(led)->intensity() > 0 ? 0 : 1;
    // A fill that starts outside the selection would not stay inside it.
    if (!constrained({ led }).contains(led))
        return;
    // The selection's edge is a wall: what lies outside reads as the other state.
    QVector<int> values = frame->intensities();
    const LedSelection& selection = m_pView->selection();
    if (!selection.isEmpty()) {
        for (int at = 0; at < values.size(); ++at) {
            if (!selection.contains(at))
                values[at] = value;
        }
    }
    submit(constrained(LedShapes::floodArea(layout, values, led)), value);
}

QVector<int> LedDrawTool::covered(const QPointF& to, Qt::KeyboardModifiers modifiers) const
{
    if (!m_pDocument)
        return {};
    const LedShapes::eShape shape = m_Tool == Line        ? LedShapes::Line
                                  : m_Tool == Rectangle   ? LedShapes::Rectangle
                                                          : LedShapes::Ellipse;
    return constrained(LedShapes::covered(m_pDocument->panelLayout(), shape, m_From, to, m_Filled,
                                          modifiers.testFlag(Qt::ShiftModifier)));
}

void LedDrawTool::showPreview(const QVector<int>& leds)
{
    QGraphicsScene* scene = m_pView ? m_pView->QGraphicsView::scene() : nullptr;
    if (!scene || !m_pDocument)
        return;
    if (m_pPreview && m_pPreviewScene != scene)
        removePreview();
    const LedLayout& layout = m_pDocument->panelLayout();
    if (!m_pPreview) {
        m_pPreview = new ShapePreviewItem(layout.ledItemsSize(), m_Lit);
        scene->addItem(m_pPreview);
        m_pPreviewScene = scene;
    }
    QVector<QPointF> centres;
    centres.reserve(leds.size());
    for (int led : leds)
        centres.append(layout.ledPositionOf(led));
    m_pPreview->setCentres(centres);
}

void LedDrawTool::removePreview()
{
    // A scene that went away took the item with it.
    if (m_pPreview && m_pPreviewScene) {
        m_pPreviewScene->removeItem(m_pPreview);
        delete m_pPreview;
    }
    m_pPreview = nullptr;
    m_pPreviewScene = nullptr;
}

void LedDrawTool::submit(const QVector<int>& leds, int value)
{
    const LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr;
    if (!frame || leds.isEmpty())
        return;
    auto* edit = new LedValuesEdit(text(m_Tool));
    edit->setLeds(frame, leds, value);
    if (edit->isEmpty()) {
        delete edit;
        return;
    }
    m_pDocument->submit(edit);
}
