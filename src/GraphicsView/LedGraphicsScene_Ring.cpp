#include "GraphicsView/LedGraphicsScene_Ring.h"

#include <QBrush>
#include <QGraphicsEllipseItem>
#include <QPen>
#include <QXmlStreamReader>

LedGraphicsScene_Ring::LedGraphicsScene_Ring(QObject* parent)
    : AbstractLedGraphicsScene(parent)
{
    m_Layout = LedLayout(LedLayout::Ring);
    createLayout();
}

AbstractLedGraphicsScene::eType LedGraphicsScene_Ring::type()
{
    return Ring;
}

int LedGraphicsScene_Ring::rows()
{
    return m_Layout.rows();
}

int LedGraphicsScene_Ring::columns()
{
    return m_Layout.columns();
}

qreal LedGraphicsScene_Ring::ledItemsSize() const
{
    return m_Layout.ledItemsSize();
}

void LedGraphicsScene_Ring::createLayout()
{
    clearLayout();
    setSceneRect(m_Layout.sceneRect());

    // The diameters are radii; a body whose outer edge lies inside the inner
    // one gets a stroke of the absolute width rather than a negative pen.
    const qreal inner = m_Layout.innerDiameter();
    const qreal outer = m_Layout.outerDiameter();
    const qreal width = qAbs(outer - inner);
    const qreal radius = (inner + outer) / 2;

    auto* background = new QGraphicsEllipseItem(-radius, -radius, 2 * radius, 2 * radius);
    background->setPen(QPen(QBrush(Qt::blue, Qt::SolidPattern), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    background->setBrush(Qt::NoBrush);
    placeLedItems(background);
}

void LedGraphicsScene_Ring::rebuild()
{
    createLayout();
}

void LedGraphicsScene_Ring::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("Layout"))
        return;
    m_Layout.readXML(xml);
    createLayout();
}

void LedGraphicsScene_Ring::writeXML(QXmlStreamWriter& xml)
{
    m_Layout.writeXML(xml);
}
