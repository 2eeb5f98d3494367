#include "Data/CommandList.h"

#include "Data/EditGroup.h"
#include "Data/InsertFramesEdit.h"
#include "Data/LedData.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "Data/SequenceFileChooser.h"
#include "Helper/CsvModel.h"

#include <QDir>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

SequenceFileChooser* sChooser = nullptr;

} // namespace

CommandList::CommandList(LedPanelModel* document)
    : AbstractCommand(QStringLiteral("Sequence"), nullptr)
    , m_pDocument(document)
{
}

int CommandList::type() const
{
    return typeCommandList;
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

LedPanelModel* CommandList::document() const
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
            if (index == frameCount()) {
                if (m_pDocument && !m_pDocument->chargeReadLeds(xml, m_pDocument->panelLayout().ledCount()))
                    return;
                addFrame();
            }
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

void CommandList::setFileChooser(SequenceFileChooser* chooser)
{
    sChooser = chooser;
}

void CommandList::importSequence()
{
    if (!sChooser)
        return;
    const QString fileName = sChooser->importFileName(this);
    if (fileName.isEmpty())
        return;
    QString message;
    if (!importSequence(fileName, &message))
        sChooser->report(this, message);
}

void CommandList::exportSequence()
{
    if (!sChooser)
        return;
    QString message = exportProblem();
    if (message.isEmpty()) {
        const QString fileName = sChooser->exportFileName(this);
        if (fileName.isEmpty() || exportSequence(fileName, &message))
            return;
    }
    sChooser->report(this, message);
}

bool CommandList::importSequence(const QString& fileName, QString* message)
{
    CsvModel table(CsvModel::NoQuotes, true, QLatin1Char(','), nullptr);
    if (!table.read(fileName)) {
        *message = tr("Cannot read file %1.").arg(QDir::toNativeSeparators(fileName));
        return false;
    }
    const int rows = table.rowCount();
    if (rows == 0)
        return true;

    // Checked before the new frames are built: a small file may ask for millions of LED values.
    const qint64 ledsPerNewFrame = m_pDocument ? m_pDocument->panelLayout().ledCount() : 0;
    const qint64 growth = qint64(qMax(0, rows - frameCount())) * ledsPerNewFrame;
    if (m_pDocument && m_pDocument->ledValueCount() + growth > LedPanelModel::MaxLedValues) {
        *message = LedPanelModel::tooManyLedValuesText();
        return false;
    }

    // Each frame takes as many values as it has LEDs; a wider file costs no more.
    const auto rowValues = [&table](int row, int count) {
        QVector<int> values(count);
        for (int column = 0; column < count; ++column)
            values[column] = table.data(row, column).trimmed().toInt(nullptr, 10);
        return values;
    };

    if (!m_pDocument) {
        for (int row = 0; row < rows; ++row) {
            if (row >= frameCount())
                addFrame();
            LedStateCommand* target = frame(row);
            const QVector<int> values = rowValues(row, target->ledCount());
            for (int led = 0; led < values.size(); ++led)
                target->led(led)->setIntensity(values.at(led));
        }
        return true;
    }

    auto* edit = new EditGroup(tr("Import sequence"));
    auto* values = new LedValuesEdit(QString());
    for (int row = 0; row < qMin(rows, frameCount()); ++row)
        values->setFrame(frame(row), rowValues(row, frame(row)->ledCount()));
    edit->append(values);
    if (rows > frameCount()) {
        QVector<QVector<int>> added;
        for (int row = frameCount(); row < rows; ++row)
            added.append(rowValues(row, int(ledsPerNewFrame)));
        edit->append(new InsertFramesEdit(QString(), index(), frameCount(), added));
    }
    if (!m_pDocument->submit(edit)) {
        *message = LedPanelModel::tooManyLedValuesText();
        return false;
    }
    return true;
}

QString CommandList::exportProblem() const
{
    if (frameCount() == 0)
        return tr("The sequence has no frames to export.");
    for (int row = 0; row < frameCount(); ++row) {
        if (frame(row)->ledCount() > 0)
            return QString();
    }
    return tr("The frames of the sequence have no LEDs to export.");
}

bool CommandList::exportSequence(const QString& fileName, QString* message) const
{
    const QString problem = exportProblem();
    if (!problem.isEmpty()) {
        *message = problem;
        return false;
    }

    // Frames made under different layouts differ in LED count: the widest sets
    // the columns and the others are padded with 0, so nothing is lost.
    int ledCount = 0;
    for (int row = 0; row < frameCount(); ++row)
        ledCount = qMax(ledCount, frame(row)->ledCount());

    CsvModel table(CsvModel::NoQuotes, true, QLatin1Char(','), nullptr);
    table.createTable(0, ledCount);
    for (int column = 0; column < ledCount; ++column)
        table.setHeaderData(column, QString::number(column, 10));
    for (int row = 0; row < frameCount(); ++row) {
        table.insertRows(row, 1);
        const LedStateCommand* source = frame(row);
        for (int column = 0; column < ledCount; ++column) {
            const int value = column < source->ledCount() ? source->led(column)->intensity() : 0;
            table.setData(row, column, QString::number(value, 10));
        }
    }
    if (!table.write(fileName)) {
        *message = tr("Cannot write file %1.").arg(QDir::toNativeSeparators(fileName));
        return false;
    }
    return true;
}
