#include "GraphicsView/LedGraphicsScene_Rectangle.h"

#include <QBrush>
#include <QGraphicsRectItem>
#include <QPen>
#include <QXmlStreamReader>

LedGraphicsScene_Rectangle::LedGraphicsScene_Rectangle(QObject* parent)
    : AbstractLedGraphicsScene(parent)
{
    m_Layout = LedLayout(LedLayout::Rectangle);
    createLayout();
}

AbstractLedGraphicsScene::eType LedGraphicsScene_Rectangle::type()
{
    return Rectangle;
}

int LedGraphicsScene_Rectangle::rows()
{
    return m_Layout.rows();
}

int LedGraphicsScene_Rectangle::columns()
{
    return m_Layout.columns();
}

qreal LedGraphicsScene_Rectangle::ledItemsSize() const
{
    return m_Layout.ledItemsSize();
}

void LedGraphicsScene_Rectangle::createLayout()
{
    clearLayout();
    setSceneRect(m_Layout.sceneRect());

    auto* background = new QGraphicsRectItem(m_Layout.rectangle());
    background->setPen(Qt::NoPen);
    background->setBrush(QBrush(Qt::blue, Qt::SolidPattern));
    placeLedItems(background);
}

void LedGraphicsScene_Rectangle::rebuild()
{
    createLayout();
}

void LedGraphicsScene_Rectangle::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("Layout"))
        return;
    m_Layout.readXML(xml);
    createLayout();
}

void LedGraphicsScene_Rectangle::writeXML(QXmlStreamWriter& xml)
{
    m_Layout.writeXML(xml);
}
