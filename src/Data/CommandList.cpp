#include "Data/CommandList.h"

#include "Data/LedStateCommand.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

CommandList::CommandList(LedPanelDocument* document)
    : AbstractCommand(QStringLiteral("Sequence"), nullptr)
    , m_pDocument(document)
{
}

int CommandList::type() const
{
    return 2;
}

int CommandList::frameCount() const
{
    return childs().count();
}

LedStateCommand* CommandList::frame(int index) const
{
    Q_ASSERT(index >= 0 && index < frameCount());
    return static_cast<LedStateCommand*>(childs().at(index));
}

void CommandList::addFrame()
{
    appendChild(new LedStateCommand(this));
}

LedPanelDocument* CommandList::document() const
{
    return m_pDocument;
}

QString CommandList::label() const
{
    return m_Label;
}

void CommandList::setLabel(const QString& label)
{
    m_Label = label;
}

void CommandList::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("CommandList"))
        return;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("LedState")) {
            const int index = xml.attributes().value(QLatin1String("index")).toInt(nullptr, 10);
            if (index == frameCount())
                addFrame();
            if (index >= 0 && index < frameCount())
                frame(index)->readXML(xml);
            else
                xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
}

void CommandList::writeXML(QXmlStreamWriter& xml, int index)
{
    xml.writeStartElement(QStringLiteral("CommandList"));
    xml.writeAttribute(QStringLiteral("index"), QString::number(index));
    for (int i = 0; i < frameCount(); ++i)
        frame(i)->writeXML(xml, i);
    xml.writeEndElement();
}

void CommandList::importSequence()
{
    // Filled in with the CSV exchange of a sequence.
}

void CommandList::exportSequence()
{
    // Filled in with the CSV exchange of a sequence.
}
