#include "GraphicsView/LedGraphicsScene_Ring.h"

#include "Helper/Math.h"

#include <QBrush>
#include <QGraphicsEllipseItem>
#include <QPen>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

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
    placeLedItems(background, m_Rows, m_Columns, [this, first](int row, int column) {
        return polarToCartesian(QPointF(first.x() + row * m_RowSpacing, first.y() + column * m_ColumnSpacing));
    });
}

void LedGraphicsScene_Ring::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("Layout"))
        return;
    Q_ASSERT_X(xml.attributes().value(QLatin1String("type")) == QLatin1String("Ring"),
               "LedGraphicsScene_Ring::readXML", "type == \"Ring\"");

    while (xml.readNextStartElement()) {
        if (readGridValue(xml, m_Rows, m_Columns, m_RowSpacing, m_ColumnSpacing, m_FirstLedPosition))
            continue;
        const QStringRef name = xml.name();
        if (name == QLatin1String("InnerDiameter"))
            m_InnerDiameter = xml.readElementText().toDouble();
        else if (name == QLatin1String("OuterDiameter"))
            m_OuterDiameter = xml.readElementText().toDouble();
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
