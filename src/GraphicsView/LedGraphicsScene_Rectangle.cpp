#include "GraphicsView/LedGraphicsScene_Rectangle.h"

#include <QBrush>
#include <QGraphicsRectItem>
#include <QPen>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

LedGraphicsScene_Rectangle::LedGraphicsScene_Rectangle(QObject* parent)
    : AbstractLedGraphicsScene(parent)
    , m_Rows(4)
    , m_Columns(8)
    , m_RowSpacing(6.0)
    , m_ColumnSpacing(6.0)
    , m_Rectangle(-6.0, -6.0, 54.0, 30.0)
    , m_FirstLedPosition(0.0, 0.0)
    , m_LedItemsSize(2.0)
{
    createLayout();
}

AbstractLedGraphicsScene::eType LedGraphicsScene_Rectangle::type()
{
    return Rectangle;
}

int LedGraphicsScene_Rectangle::rows()
{
    return m_Rows;
}

int LedGraphicsScene_Rectangle::columns()
{
    return m_Columns;
}

qreal LedGraphicsScene_Rectangle::ledItemsSize() const
{
    return m_LedItemsSize;
}

void LedGraphicsScene_Rectangle::createLayout()
{
    clearLayout();
    setSceneRect(m_Rectangle);

    auto* background = new QGraphicsRectItem(m_Rectangle);
    background->setPen(Qt::NoPen);
    background->setBrush(QBrush(Qt::blue, Qt::SolidPattern));

    placeLedItems(background, m_Rows, m_Columns, [this](int row, int column) {
        return QPointF(m_FirstLedPosition.x() + m_ColumnSpacing * column,
                       m_FirstLedPosition.y() + m_RowSpacing * row);
    });
}

void LedGraphicsScene_Rectangle::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("Layout"))
        return;
    Q_ASSERT_X(xml.attributes().value(QLatin1String("type")) == QLatin1String("Rectangle"),
               "LedGraphicsScene_Rectangle::readXML", "type == \"Rectangle\"");

    while (xml.readNextStartElement()) {
        if (readGridValue(xml, m_Rows, m_Columns, m_RowSpacing, m_ColumnSpacing, m_FirstLedPosition))
            continue;
        const QStringRef name = xml.name();
        if (name == QLatin1String("Rectangle_X"))
            m_Rectangle.setX(xml.readElementText().toDouble());
        else if (name == QLatin1String("Rectangle_Y"))
            m_Rectangle.setY(xml.readElementText().toDouble());
        else if (name == QLatin1String("Rectangle_W"))
            m_Rectangle.setWidth(xml.readElementText().toDouble());
        else if (name == QLatin1String("Rectangle_H"))
            m_Rectangle.setHeight(xml.readElementText().toDouble());
        else
            xml.skipCurrentElement();
    }

    acceptLedCount(xml, m_Rows, m_Columns);
    createLayout();
}

void LedGraphicsScene_Rectangle::writeXML(QXmlStreamWriter& xml)
{
    xml.writeStartElement(QStringLiteral("Layout"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("Rectangle"));
    xml.writeTextElement(QStringLiteral("Rows"), QString::number(m_Rows));
    xml.writeTextElement(QStringLiteral("Columns"), QString::number(m_Columns));
    xml.writeTextElement(QStringLiteral("RowSpacing"), realText(m_RowSpacing));
    xml.writeTextElement(QStringLiteral("ColumnSpacing"), realText(m_ColumnSpacing));
    xml.writeTextElement(QStringLiteral("Rectangle_X"), realText(m_Rectangle.x()));
    xml.writeTextElement(QStringLiteral("Rectangle_Y"), realText(m_Rectangle.y()));
    xml.writeTextElement(QStringLiteral("Rectangle_W"), realText(m_Rectangle.width()));
    xml.writeTextElement(QStringLiteral("Rectangle_H"), realText(m_Rectangle.height()));
    xml.writeTextElement(QStringLiteral("FirstLedPosition_X"), realText(m_FirstLedPosition.x()));
    xml.writeTextElement(QStringLiteral("FirstLedPosition_Y"), realText(m_FirstLedPosition.y()));
    xml.writeEndElement();
}
