#include "Data/LedStateCommand.h"

#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

LedStateCommand::LedStateCommand(CommandList* sequence)
    : AbstractCommand(QStringLiteral("LedState"), nullptr)
    , m_pLedSequence(sequence)
{
    Q_ASSERT(sequence);

    const LedPanelModel* document = sequence->document();
    const qint64 count = document ? document->panelLayout().ledCount() : 0;
    // A layout never holds more LEDs than it accepts, but a frame must not
    // trust that with its memory.
    Q_ASSERT(count <= LedLayout::MaxLedCount);
    if (count > 0 && count <= LedLayout::MaxLedCount)
        m_Lels.resize(size_t(count));
}

LedStateCommand::LedStateCommand(CommandList* sequence, const QVector<int>& intensities)
    : AbstractCommand(QStringLiteral("LedState"), nullptr)
    , m_pLedSequence(sequence)
    , m_Lels(size_t(intensities.size()))
{
    Q_ASSERT(sequence);
    for (int i = 0; i < intensities.size(); ++i)
        m_Lels[size_t(i)].setIntensity(intensities.at(i));
}

void LedStateCommand::setIntensities(const QVector<int>& intensities)
{
    m_Lels.assign(size_t(intensities.size()), LedData());
    for (int i = 0; i < intensities.size(); ++i)
        m_Lels[size_t(i)].setIntensity(intensities.at(i));
}

int LedStateCommand::type() const
{
    return typeLedState;
}

QList<LedData*> LedStateCommand::leds() const
{
    QList<LedData*> list;
    list.reserve(int(m_Lels.size()));
    for (const LedData& led : m_Lels)
        list.append(const_cast<LedData*>(&led));
    return list;
}

CommandList* LedStateCommand::sequence() const
{
    return m_pLedSequence;
}

int LedStateCommand::ledCount() const
{
    return int(m_Lels.size());
}

LedData* LedStateCommand::led(int index)
{
    Q_ASSERT(index >= 0 && index < ledCount());
    return &m_Lels[size_t(index)];
}

const LedData* LedStateCommand::led(int index) const
{
    Q_ASSERT(index >= 0 && index < ledCount());
    return &m_Lels[size_t(index)];
}

QVector<int> LedStateCommand::intensities() const
{
    QVector<int> values(ledCount());
    int* value = values.data();
    for (int i = 0; i < values.size(); ++i)
        value[i] = m_Lels[size_t(i)].intensity();
    return values;
}

void LedStateCommand::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("LedState"))
        return;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("LedData")) {
            const int index = xml.attributes().value(QLatin1String("index")).toInt(nullptr, 10);
            if (index >= 0 && index < ledCount())
                m_Lels[size_t(index)].readXML(xml);
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
    for (int i = 0; i < ledCount(); ++i)
        m_Lels[size_t(i)].writeXML(xml, i);
    xml.writeEndElement();
}
