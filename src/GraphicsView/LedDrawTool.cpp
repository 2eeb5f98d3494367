#include "GraphicsView/LedDrawTool.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedStateWidget.h"
#include "GraphicsView/ShapePreviewItem.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>

LedDrawTool::LedDrawTool(QObject* parent)
    : QObject(parent)
    , m_pPreview(nullptr)
    , m_Tool(Pen)
    , m_Lit(true)
    , m_Filled(false)
    , m_Dragging(false)
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
    }
    return QString();
}

void LedDrawTool::setDocument(LedPanelDocument* document)
{
    cancel();
    if (m_pView)
        m_pView->viewport()->removeEventFilter(this);
    m_pDocument = document;
    m_pView = document ? document->ledFrame() : nullptr;
    if (m_pView)
        m_pView->viewport()->installEventFilter(this);
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

bool LedDrawTool::isDragging() const
{
    return m_Dragging;
}

bool LedDrawTool::eventFilter(QObject* watched, QEvent* event)
{
    if (m_Dragging && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        // Esc is the window's "Stop writing" too; during a drag it is the drag's.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            if (event->type() == QEvent::KeyPress)
                cancel();
            event->accept();
            return true;
        }
        return false;
    }
    if (!m_pView || watched != m_pView->viewport() || m_Tool == Pen)
        return false;

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (event->type() == QEvent::MouseButtonPress)
            return press(mouse);
        return true;
    }
    case QEvent::MouseMove:
        if (!m_Dragging)
            return false;
        drag(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
        if (!m_Dragging || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        release(static_cast<QMouseEvent*>(event));
        return true;
    default:
        return false;
    }
}

bool LedDrawTool::press(QMouseEvent* event)
{
    // The button is the tool's even where there is nothing to draw on: no rubber band, no toggle.
    if (!m_pDocument || !m_pDocument->currentFrame())
        return true;
    emit aboutToDraw();
    const QPointF point = m_pView->mapToScene(event->pos());
    if (m_Tool == Fill) {
        fill(point);
        return true;
    }
    m_From = point;
    m_Dragging = true;
    qApp->installEventFilter(this);
    showPreview(covered(point, event->modifiers()));
    return true;
}

void LedDrawTool::drag(QMouseEvent* event)
{
    showPreview(covered(m_pView->mapToScene(event->pos()), event->modifiers()));
}

void LedDrawTool::release(QMouseEvent* event)
{
    const QVector<int> leds = covered(m_pView->mapToScene(event->pos()), event->modifiers());
    cancel();
    submit(leds, m_Lit ? 1 : 0);
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
    const int value = frame->led(led)->intensity() == 0 ? 1 : 0;
    submit(LedShapes::floodArea(layout, frame->intensities(), led), value);
}

QVector<int> LedDrawTool::covered(const QPointF& to, Qt::KeyboardModifiers modifiers) const
{
    if (!m_pDocument)
        return {};
    const LedShapes::eShape shape = m_Tool == Line        ? LedShapes::Line
                                  : m_Tool == Rectangle   ? LedShapes::Rectangle
                                                          : LedShapes::Ellipse;
    return LedShapes::covered(m_pDocument->panelLayout(), shape, m_From, to, m_Filled,
                              modifiers.testFlag(Qt::ShiftModifier));
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
        centres.append(layout.ledPosition(led / layout.columns(), led % layout.columns()));
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
