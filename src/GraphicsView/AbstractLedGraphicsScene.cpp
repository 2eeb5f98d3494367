#include "GraphicsView/AbstractLedGraphicsScene.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedGraphicsScene_Rectangle.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"
#include "GraphicsView/LedPanelBodyItem.h"

#include <QCoreApplication>
#include <QGraphicsSceneMouseEvent>
#include <QLineF>
#include <QXmlStreamReader>

AbstractLedGraphicsScene::AbstractLedGraphicsScene(LedLayout::eType type, QObject* parent)
    : QGraphicsScene(parent)
    , m_Layout(type)
    , m_Painter(m_Layout)
    , m_pFrame(nullptr)
    , m_StrokeValue(-1)
    , m_StrokeId(0)
{
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

QList<LedGraphicsItem*> AbstractLedGraphicsScene::ledItems() const
{
    return m_LedItems;
}

LedStateCommand* AbstractLedGraphicsScene::frame() const
{
    return m_pFrame;
}

void AbstractLedGraphicsScene::clearFrame()
{
    m_pFrame = nullptr;
    for (LedGraphicsItem* item : qAsConst(m_LedItems))
        item->setLedData(nullptr);
    update(QRectF());
}

void AbstractLedGraphicsScene::setFrame(LedStateCommand* ledFrame)
{
    Q_ASSERT(ledFrame);
    if (!ledFrame)
        return;

    // A frame made under another layout (a hand-edited file) may hold more or
    // fewer LEDs than this scene: bind what both have, leave the rest dark.
    m_pFrame = ledFrame;
    const int common = qMin(ledFrame->ledCount(), m_LedItems.count());
    for (int i = 0; i < m_LedItems.count(); ++i)
        m_LedItems.at(i)->setLedData(i < common ? ledFrame->led(i) : nullptr);
    update(QRectF());
}

void AbstractLedGraphicsScene::toggleLed(int index)
{
    LedGraphicsItem* item = m_LedItems.value(index);
    if (!item || !item->ledData())
        return;
    m_StrokeValue = item->ledData()->intensity() == 0 ? 1 : 0;
    // Every stroke merges into an undo step of its own, never into the one before.
    static int strokes = 0;
    m_StrokeId = ++strokes;
    setLed(item, m_StrokeValue, tr("Toggle LED"));
    emit ledToggled();
}

void AbstractLedGraphicsScene::setLed(LedGraphicsItem* item, int value, const QString& text)
{
    // A frame that is part of a show changes through the show's door; a loose one directly.
    LedPanelModel* show = m_pFrame && m_pFrame->sequence() ? m_pFrame->sequence()->document() : nullptr;
    const AbstractCommand* sequence = m_pFrame ? m_pFrame->parent() : nullptr;
    if (show && sequence && sequence->parent() == show) {
        auto* edit = new LedValuesEdit(text, m_StrokeId);
        edit->set(m_pFrame, item->ledIndex(), value);
        show->submit(edit);
    } else {
        item->ledData()->setIntensity(value);
    }
    item->update();
}

void AbstractLedGraphicsScene::paintSegment(const QPointF& from, const QPointF& to)
{
    const qreal radius = ledItemsSize();
    const QLineF segment(from, to);
    const qreal length2 = segment.dx() * segment.dx() + segment.dy() * segment.dy();
    for (LedGraphicsItem* item : qAsConst(m_LedItems)) {
        if (!item->ledData() || item->ledData()->intensity() == m_StrokeValue)
            continue;
        // Distance from the LED's centre to the nearest point of the segment.
        const QPointF centre = item->scenePos();
        qreal t = length2 > 0 ? ((centre.x() - from.x()) * segment.dx() + (centre.y() - from.y()) * segment.dy())
                                    / length2
                              : 0.0;
        t = qBound<qreal>(0.0, t, 1.0);
        const QLineF nearest(centre, segment.pointAt(t));
        if (nearest.length() <= radius) {
            setLed(item, m_StrokeValue, tr("Paint"));
            emit ledToggled();
        }
    }
}

void AbstractLedGraphicsScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    m_StrokeValue = -1;
    m_StrokePoint = event->scenePos();
    // An LED under the press starts the stroke (toggleLed).
    QGraphicsScene::mousePressEvent(event);
}

void AbstractLedGraphicsScene::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (m_StrokeValue >= 0 && (event->buttons() & Qt::LeftButton) && m_pFrame) {
        paintSegment(m_StrokePoint, event->scenePos());
        m_StrokePoint = event->scenePos();
    }
    QGraphicsScene::mouseMoveEvent(event);
}

void AbstractLedGraphicsScene::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_StrokeValue = -1;
    QGraphicsScene::mouseReleaseEvent(event);
}

void AbstractLedGraphicsScene::clearLayout()
{
    m_LedItems.clear();
    m_pFrame = nullptr;
    while (!m_BackgroundItems.isEmpty()) {
        QGraphicsItem* item = m_BackgroundItems.takeFirst();
        removeItem(item);
        delete item;
    }
}

void AbstractLedGraphicsScene::createLayout()
{
    clearLayout();
    setSceneRect(m_Layout.sceneRect());
    m_Painter = LedPanelPainter(m_Layout);
    m_Painter.setOutlined(true);

    auto* body = new LedPanelBodyItem(m_Painter);
    const int rows = m_Layout.rows();
    const int columns = m_Layout.columns();
    // A refused layout holds no LEDs; this never builds more than a layout may have.
    if (m_Layout.ledCount() <= MaxLedCount) {
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                auto* item = new LedGraphicsItem(body);
                item->setLedIndex(m_LedItems.count());
                item->setPos(m_Layout.ledPosition(row, column));
                m_LedItems.append(item);
            }
        }
    }

    m_BackgroundItems.append(body);
    addItem(body);
    // Qt polishes and indexes new items from the event loop; until then each
    // item removed is looked up in a list of all of them. Done here, a layout
    // replaced or destroyed before the event loop runs goes in linear time.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
