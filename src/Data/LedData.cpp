#include "Data/LedData.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

LedData::LedData()
    : m_Intensity(0)
{
}

void LedData::setIntensity(int intensity)
{
    m_Intensity = intensity;
}

void LedData::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("LedData"))
        return;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("intensity"))
            m_Intensity = xml.readElementText().toInt(nullptr, 10);
        else
            xml.skipCurrentElement();
    }
}

void LedData::writeXML(QXmlStreamWriter& xml, int index)
{
    xml.writeStartElement(QStringLiteral("LedData"));
    xml.writeAttribute(QStringLiteral("index"), QString::number(index));
    xml.writeTextElement(QStringLiteral("intensity"), QString::number(m_Intensity));
    xml.writeEndElement();
}
