#include "GraphicsView/AbstractLedGraphicsScene.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedGraphicsScene_Rectangle.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"

#include <QAbstractGraphicsShapeItem>
#include <QCoreApplication>

AbstractLedGraphicsScene::AbstractLedGraphicsScene(QObject* parent)
    : QGraphicsScene(parent)
    , m_pFrame(nullptr)
{
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

const LedLayout& AbstractLedGraphicsScene::layout() const
{
    return m_Layout;
}

void AbstractLedGraphicsScene::setLayout(const LedLayout& layout)
{
    Q_ASSERT(layout.type() == m_Layout.type());
    m_Layout = layout;
    rebuild();
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
    const int value = item->ledData()->intensity() == 0 ? 1 : 0;
    // A frame that is part of a show changes through the show's door; a loose one directly.
    LedPanelModel* show = m_pFrame && m_pFrame->sequence() ? m_pFrame->sequence()->document() : nullptr;
    const AbstractCommand* sequence = m_pFrame ? m_pFrame->parent() : nullptr;
    if (show && sequence && sequence->parent() == show) {
        auto* edit = new LedValuesEdit(tr("Toggle LED"));
        edit->set(m_pFrame, index, value);
        show->submit(edit);
    } else {
        item->ledData()->setIntensity(value);
    }
    item->update();
    emit ledToggled();
}

void AbstractLedGraphicsScene::clearLayout()
{
    m_LedItems.clear();
    m_pFrame = nullptr;
    while (!m_BackgroundItems.isEmpty()) {
        QAbstractGraphicsShapeItem* item = m_BackgroundItems.takeFirst();
        removeItem(item);
        delete item;
    }
}

void AbstractLedGraphicsScene::placeLedItems(QAbstractGraphicsShapeItem* background)
{
    const int rows = m_Layout.rows();
    const int columns = m_Layout.columns();
    // A refused layout holds no LEDs; this never builds more than a layout may have.
    if (m_Layout.ledCount() <= MaxLedCount) {
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                auto* item = new LedGraphicsItem(background);
                item->setLedIndex(m_LedItems.count());
                item->setPos(m_Layout.ledPosition(row, column));
                m_LedItems.append(item);
            }
        }
    }

    m_BackgroundItems.append(background);
    addItem(background);
    // Qt polishes and indexes new items from the event loop; until then each
    // item removed is looked up in a list of all of them. Done here, a layout
    // replaced or destroyed before the event loop runs goes in linear time.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
