#include "GraphicsView/AbstractLedGraphicsScene.h"

#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/LedGraphicsItem.h"

#include <QAbstractGraphicsShapeItem>
#include <QXmlStreamReader>

AbstractLedGraphicsScene::AbstractLedGraphicsScene(QObject* parent)
    : QGraphicsScene(parent)
{
}

qint64 AbstractLedGraphicsScene::ledCount(int rows, int columns)
{
    if (rows <= 0 || columns <= 0)
        return 0;
    return qint64(rows) * qint64(columns);
}

QList<LedGraphicsItem*> AbstractLedGraphicsScene::ledItems() const
{
    return m_LedItems;
}

void AbstractLedGraphicsScene::clearFrame()
{
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
    const QList<LedData*> leds = ledFrame->leds();
    const int common = qMin(leds.count(), m_LedItems.count());
    for (int i = 0; i < m_LedItems.count(); ++i) {
        m_LedItems.at(i)->setLedData(i < common ? leds.at(i) : nullptr);
    }
    update(QRectF());
}

void AbstractLedGraphicsScene::clearLayout()
{
    m_LedItems.clear();
    while (!m_BackgroundItems.isEmpty()) {
        QAbstractGraphicsShapeItem* item = m_BackgroundItems.takeFirst();
        removeItem(item);
        delete item;
    }
}

bool AbstractLedGraphicsScene::acceptLedCount(QXmlStreamReader& xml, int& rows, int& columns)
{
    if (ledCount(rows, columns) <= MaxLedCount)
        return true;
    xml.raiseError(tr("The layout of %1 × %2 LEDs exceeds the limit of %3 LEDs.")
                       .arg(rows)
                       .arg(columns)
                       .arg(MaxLedCount));
    rows = 0;
    columns = 0;
    return false;
}
