#include "GraphicsView/LedGraphicsScene_Ring.h"

#include "GraphicsView/LedGraphicsItem.h"
#include "Helper/Math.h"

#include <QBrush>
#include <QCoreApplication>
#include <QGraphicsEllipseItem>
#include <QPen>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {
QString realText(double value)
{
    return QString::number(value, 'g', 6);
}
} // namespace

LedGraphicsScene_Ring::LedGraphicsScene_Ring(QObject* parent)
    : AbstractLedGraphicsScene(parent)
    , m_Rows(4)
    , m_Columns(48)
    , m_RowSpacing(5.0)
    , m_ColumnSpacing(7.5)
    , m_InnerDiameter(40.0)
    , m_OuterDiameter(70.0)
    , m_FirstLedPosition(0.0, -45.0)
    , m_LedItemsSize(2.0)
{
    createLayout();
}

AbstractLedGraphicsScene::eType LedGraphicsScene_Ring::type()
{
    return Ring;
}

int LedGraphicsScene_Ring::rows()
{
    return m_Rows;
}

int LedGraphicsScene_Ring::columns()
{
    return m_Columns;
}

qreal LedGraphicsScene_Ring::ledItemsSize() const
{
    return m_LedItemsSize;
}

void LedGraphicsScene_Ring::createLayout()
{
    clearLayout();
    setSceneRect(-(m_OuterDiameter + 1), -(m_OuterDiameter + 1),
                 2 * m_OuterDiameter + 2, 2 * m_OuterDiameter + 2);

    // The diameters are radii; a body whose outer edge lies inside the inner
    // one gets a stroke of the absolute width rather than a negative pen.
    const qreal width = qAbs(m_OuterDiameter - m_InnerDiameter);
    const qreal radius = (m_InnerDiameter + m_OuterDiameter) / 2;

    auto* background = new QGraphicsEllipseItem(-radius, -radius, 2 * radius, 2 * radius);
    background->setPen(QPen(QBrush(Qt::blue, Qt::SolidPattern), width, Qt::SolidLine,
                            Qt::SquareCap, Qt::BevelJoin));
    background->setBrush(Qt::NoBrush);

    const QPointF first = cartesianToPolar(m_FirstLedPosition);
    for (int row = 0; row < m_Rows; ++row) {
        for (int column = 0; column < m_Columns; ++column) {
            const qreal r = first.x() + row * m_RowSpacing;
            const qreal a = first.y() + column * m_ColumnSpacing;
            auto* item = new LedGraphicsItem(background);
            item->setPos(polarToCartesian(QPointF(r, a)));
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

void LedGraphicsScene_Ring::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("Layout"))
        return;
    Q_ASSERT_X(xml.attributes().value(QLatin1String("type")) == QLatin1String("Ring"),
               "LedGraphicsScene_Ring::readXML", "type == \"Ring\"");

    while (xml.readNextStartElement()) {
        const QStringRef name = xml.name();
        if (name == QLatin1String("Rows"))
            m_Rows = xml.readElementText().toInt(nullptr, 10);
        else if (name == QLatin1String("Columns"))
            m_Columns = xml.readElementText().toInt(nullptr, 10);
        else if (name == QLatin1String("RowSpacing"))
            m_RowSpacing = xml.readElementText().toDouble();
        else if (name == QLatin1String("ColumnSpacing"))
            m_ColumnSpacing = xml.readElementText().toDouble();
        else if (name == QLatin1String("InnerDiameter"))
            m_InnerDiameter = xml.readElementText().toDouble();
        else if (name == QLatin1String("OuterDiameter"))
            m_OuterDiameter = xml.readElementText().toDouble();
        else if (name == QLatin1String("FirstLedPosition_X"))
            m_FirstLedPosition.setX(xml.readElementText().toDouble());
        else if (name == QLatin1String("FirstLedPosition_Y"))
            m_FirstLedPosition.setY(xml.readElementText().toDouble());
        else
            xml.skipCurrentElement();
    }

    acceptLedCount(xml, m_Rows, m_Columns);
    createLayout();
}

void LedGraphicsScene_Ring::writeXML(QXmlStreamWriter& xml)
{
    xml.writeStartElement(QStringLiteral("Layout"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("Ring"));
    xml.writeTextElement(QStringLiteral("Rows"), QString::number(m_Rows));
    xml.writeTextElement(QStringLiteral("Columns"), QString::number(m_Columns));
    xml.writeTextElement(QStringLiteral("RowSpacing"), realText(m_RowSpacing));
    xml.writeTextElement(QStringLiteral("ColumnSpacing"), realText(m_ColumnSpacing));
    xml.writeTextElement(QStringLiteral("InnerDiameter"), realText(m_InnerDiameter));
    xml.writeTextElement(QStringLiteral("OuterDiameter"), realText(m_OuterDiameter));
    xml.writeTextElement(QStringLiteral("FirstLedPosition_X"), realText(m_FirstLedPosition.x()));
    xml.writeTextElement(QStringLiteral("FirstLedPosition_Y"), realText(m_FirstLedPosition.y()));
    xml.writeEndElement();
}
