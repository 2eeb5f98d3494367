#include "Data/LedStateCommand.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

LedStateCommand::LedStateCommand(CommandList* sequence)
    : AbstractCommand(QStringLiteral("LedState"), nullptr)
    , m_pLedSequence(sequence)
{
    Q_ASSERT(sequence);

    LedPanelDocument* document = sequence->document();
    AbstractLedGraphicsScene* scene = document ? document->ledScene() : nullptr;
    const int rows = scene ? scene->rows() : 0;
    const int columns = scene ? scene->columns() : 0;
    const qint64 count = AbstractLedGraphicsScene::ledCount(rows, columns);
    // A scene never holds more LEDs than it accepts, but a frame must not
    // trust that with its memory.
    Q_ASSERT(count <= AbstractLedGraphicsScene::MaxLedCount);
    if (count <= 0 || count > AbstractLedGraphicsScene::MaxLedCount)
        return;

    m_pLels.reserve(int(count));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            m_pLels.append(new LedData);
    }
}

LedStateCommand::~LedStateCommand()
{
    qDeleteAll(m_pLels);
}

int LedStateCommand::type() const
{
    return 1;
}

QList<LedData*> LedStateCommand::leds() const
{
    return m_pLels;
}

CommandList* LedStateCommand::sequence() const
{
    return m_pLedSequence;
}

void LedStateCommand::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("LedState"))
        return;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("LedData")) {
            const int index = xml.attributes().value(QLatin1String("index")).toInt(nullptr, 10);
            if (index >= 0 && index < m_pLels.count())
                m_pLels.at(index)->readXML(xml);
            else
                xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
}

void LedStateCommand::writeXML(QXmlStreamWriter& xml, int index)
{
    xml.writeStartElement(QStringLiteral("LedState"));
    xml.writeAttribute(QStringLiteral("index"), QString::number(index));
    for (int i = 0; i < m_pLels.count(); ++i)
        m_pLels.at(i)->writeXML(xml, i);
    xml.writeEndElement();
}
