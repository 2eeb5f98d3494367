#include "GraphicsView/AbstractLedGraphicsScene.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/LedGraphicsScene_Rectangle.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"
#include "GraphicsView/LedPanelItem.h"

#include <QCoreApplication>
#include <QGraphicsSceneMouseEvent>
#include <QXmlStreamReader>

AbstractLedGraphicsScene::AbstractLedGraphicsScene(LedLayout::eType type, QObject* parent)
    : QGraphicsScene(parent)
    , m_Layout(type)
    , m_Painter(m_Layout)
    , m_pPanel(nullptr)
{
    qRegisterMetaType<LedPointerEvent>();
    // One item that changes in place: the spatial index would only cost.
    setItemIndexMethod(QGraphicsScene::NoIndex);
    createLayout();
}

AbstractLedGraphicsScene* AbstractLedGraphicsScene::create(const LedLayout& layout, QObject* parent)
{
    AbstractLedGraphicsScene* scene = nullptr;
    if (layout.type() == LedLayout::Ring)
        scene = new LedGraphicsScene_Ring(parent);
    else
        scene = new LedGraphicsScene_Rectangle(parent);
    if (scene->layout() != layout)
        scene->setLayout(layout);
    return scene;
}

AbstractLedGraphicsScene::eType AbstractLedGraphicsScene::type() const
{
    return eType(m_Layout.type());
}

int AbstractLedGraphicsScene::rows() const
{
    return m_Layout.rows();
}

int AbstractLedGraphicsScene::columns() const
{
    return m_Layout.columns();
}

qreal AbstractLedGraphicsScene::ledItemsSize() const
{
    return m_Layout.ledItemsSize();
}

const LedPanelPainter& AbstractLedGraphicsScene::panelPainter() const
{
    return m_Painter;
}

void AbstractLedGraphicsScene::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("Layout"))
        return;
    m_Layout.readXML(xml);
    createLayout();
}

void AbstractLedGraphicsScene::writeXML(QXmlStreamWriter& xml) const
{
    m_Layout.writeXML(xml);
}

const LedLayout& AbstractLedGraphicsScene::layout() const
{
    return m_Layout;
}

void AbstractLedGraphicsScene::setLayout(const LedLayout& layout)
{
    Q_ASSERT(layout.type() == m_Layout.type());
    m_Layout = layout;
    createLayout();
}

qint64 AbstractLedGraphicsScene::ledCount(int rows, int columns)
{
    return LedLayout::ledCount(rows, columns);
}

bool AbstractLedGraphicsScene::hasFrame() const
{
    return m_pPanel && !m_pPanel->values().isEmpty();
}

QVector<int> AbstractLedGraphicsScene::values() const
{
    return m_pPanel ? m_pPanel->values() : QVector<int>();
}

QVector<int> AbstractLedGraphicsScene::previousValues() const
{
    return m_Previous;
}

int AbstractLedGraphicsScene::ledAt(const QPointF& point) const
{
    return hasFrame() ? m_Index.ledAt(point) : -1;
}

QVector<int> AbstractLedGraphicsScene::ledsAlong(const QPointF& from, const QPointF& to, qreal reach) const
{
    return m_Index.ledsAlong(QLineF(from, to), reach);
}

void AbstractLedGraphicsScene::activateLed(int led)
{
    if (hasFrame() && led >= 0 && led < m_Index.centres().size())
        emit ledActivated(led);
}

void AbstractLedGraphicsScene::setFrame(LedStateCommand* ledFrame)
{
    Q_ASSERT(ledFrame);
    if (!ledFrame || !m_pPanel)
        return;

    // A frame made under another layout (a hand-edited file) may hold more or
    // fewer LEDs than this scene: what it lacks shows dark.
    const int count = m_Index.centres().size();
    const auto fitted = [count](QVector<int> values) {
        values.resize(count);
        return values;
    };
    QVector<int> previous;
    const CommandList* sequence = ledFrame->sequence();
    const int row = sequence && ledFrame->parent() == sequence ? ledFrame->index() : -1;
    if (row > 0)
        previous = fitted(sequence->frame(row - 1)->intensities());
    if (previous != m_Previous) {
        m_Previous = previous;
        // What lies over the LEDs (the onion skin) shows the frame before too.
        update();
    }
    m_pPanel->setValues(fitted(ledFrame->intensities()));
}

LedPointerEvent AbstractLedGraphicsScene::pointerEvent(const QGraphicsSceneMouseEvent* event) const
{
    LedPointerEvent pointer;
    pointer.scenePos = event->scenePos();
    pointer.led = ledAt(event->scenePos());
    pointer.button = event->button();
    pointer.buttons = event->buttons();
    pointer.modifiers = event->modifiers();
    return pointer;
}

void AbstractLedGraphicsScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
    emit ledPressed(pointerEvent(event));
}

void AbstractLedGraphicsScene::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
    LedPointerEvent pointer = pointerEvent(event);
    pointer.doubleClick = true;
    emit ledPressed(pointer);
}

void AbstractLedGraphicsScene::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    emit ledMoved(pointerEvent(event));
}

void AbstractLedGraphicsScene::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    emit ledReleased(pointerEvent(event));
}

void AbstractLedGraphicsScene::createLayout()
{
    if (m_pPanel) {
        removeItem(m_pPanel);
        delete m_pPanel;
    }
    m_Previous.clear();
    setSceneRect(m_Layout.sceneRect());
    m_Painter = LedPanelPainter(m_Layout);
    m_Painter.setOutlined(true);
    // A refused layout holds no LEDs: the index is empty then.
    m_Index = LedHitIndex(m_Layout);
    m_pPanel = new LedPanelItem(m_Painter, m_Index);
    addItem(m_pPanel);
    // Qt polishes a new item from the event loop; a scene replaced before that runs leaves nothing behind.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
