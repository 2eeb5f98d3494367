#include "Data/CommandList.h"

#include "Data/EditGroup.h"
#include "Data/InsertFramesEdit.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "Data/SequenceFileChooser.h"
#include "Data/SequenceTable.h"
#include "Helper/CheckedFileReader.h"
#include "Helper/CheckedFileWriter.h"
#include "Helper/CsvModel.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStringList>
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
    else if (!message.isEmpty())
        sChooser->inform(this, message);
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
    Q_ASSERT(m_pDocument);
    CsvModel table;
    QFile file(fileName);
    QString reason;
    if (!CheckedFileReader::open(file, QIODevice::NotOpen, &reason, CheckedFileReader::Anything)
        || !SequenceTable::read(&table, &file, message)) {
        if (message->isEmpty())
            *message = tr("Cannot read file %1.").arg(QDir::toNativeSeparators(fileName));
        return false;
    }
    const int rows = table.rowCount();
    if (rows == 0) {
        *message = tr("%1 holds no frames.").arg(QDir::toNativeSeparators(fileName));
        return false;
    }

    // Checked before the new frames are built: a small file may ask for millions of LED values.
    const int ledsPerNewFrame = int(m_pDocument->panelLayout().ledCount());
    if (!m_pDocument->holds(qint64(qMax(0, rows - frameCount())) * ledsPerNewFrame)) {
        *message = LedPanelModel::tooManyLedValuesText();
        return false;
    }

    // Each frame takes as many values as it has LEDs; a wider file costs no more.
    auto* edit = new EditGroup(tr("Import sequence"));
    auto* values = new LedValuesEdit(QString());
    for (int row = 0; row < qMin(rows, frameCount()); ++row)
        values->setFrame(frame(row), SequenceTable::values(table, row, frame(row)->ledCount()));
    edit->append(values);
    if (rows > frameCount()) {
        QVector<QVector<int>> added;
        for (int row = frameCount(); row < rows; ++row)
            added.append(SequenceTable::values(table, row, ledsPerNewFrame));
        edit->append(new InsertFramesEdit(QString(), index(), frameCount(), added));
    }
    *message = importedText(rows, frameCount(), table.columnCount(), ledsPerNewFrame);
    m_pDocument->submit(edit);
    return true;
}

QString CommandList::importedText(int rows, int frames, int columns, int leds)
{
    QStringList notes(rows == 1 ? tr("1 frame imported") : tr("%1 frames imported").arg(rows));
    if (rows + 1 == frames)
        notes << tr("frame %1 unchanged").arg(frames);
    else if (rows < frames)
        notes << tr("frames %1 to %2 unchanged").arg(rows + 1).arg(frames);
    if (columns > leds)
        notes << tr("rows of %1 values cut to the panel's %2 LEDs").arg(columns).arg(leds);
    return notes.join(QStringLiteral("; "));
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

    QVector<QVector<int>> frames;
    for (int row = 0; row < frameCount(); ++row)
        frames.append(frame(row)->intensities());
    CsvModel table(CsvModel::NoQuotes, true, QLatin1Char(','), nullptr);
    SequenceTable::fill(&table, frames);
    QBuffer text;
    QString error;
    if (!table.write(&text) || !CheckedFileWriter::writeFile(fileName, text.data(), &error, false)) {
        *message = tr("Cannot write file %1:\n%2.").arg(QDir::toNativeSeparators(fileName), error);
        return false;
    }
    return true;
}
