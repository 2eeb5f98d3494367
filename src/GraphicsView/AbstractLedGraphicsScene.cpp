#include "GraphicsView/AbstractLedGraphicsScene.h"

#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/LedGraphicsItem.h"

#include <QAbstractGraphicsShapeItem>
#include <QCoreApplication>
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

bool AbstractLedGraphicsScene::readGridValue(QXmlStreamReader& xml, int& rows, int& columns, double& rowSpacing,
                                             double& columnSpacing, QPointF& firstLedPosition)
{
    const QStringRef name = xml.name();
    if (name == QLatin1String("Rows"))
        rows = xml.readElementText().toInt(nullptr, 10);
    else if (name == QLatin1String("Columns"))
        columns = xml.readElementText().toInt(nullptr, 10);
    else if (name == QLatin1String("RowSpacing"))
        rowSpacing = xml.readElementText().toDouble();
    else if (name == QLatin1String("ColumnSpacing"))
        columnSpacing = xml.readElementText().toDouble();
    else if (name == QLatin1String("FirstLedPosition_X"))
        firstLedPosition.setX(xml.readElementText().toDouble());
    else if (name == QLatin1String("FirstLedPosition_Y"))
        firstLedPosition.setY(xml.readElementText().toDouble());
    else
        return false;
    return true;
}

void AbstractLedGraphicsScene::placeLedItems(QAbstractGraphicsShapeItem* background, int rows, int columns,
                                             const std::function<QPointF(int row, int column)>& position)
{
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            auto* item = new LedGraphicsItem(background);
            item->setPos(position(row, column));
            m_LedItems.append(item);
        }
    }

    m_BackgroundItems.append(background);
    addItem(background);
    // Qt polishes and indexes new items from the event loop; until then each
    // item removed is looked up in a list of all of them. Done here, a layout
    // replaced or destroyed before the event loop runs goes in linear time.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

QString AbstractLedGraphicsScene::realText(double value)
{
    return QString::number(value, 'g', 6);
}
