#include "Data/CommandList.h"

#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "Helper/CsvModel.h"
#include "TreeView/LedTreeModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
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
            if (index == frameCount()) {
                AbstractLedGraphicsScene* scene = m_pDocument ? m_pDocument->ledScene() : nullptr;
                const qint64 leds = scene ? AbstractLedGraphicsScene::ledCount(scene->rows(), scene->columns()) : 0;
                if (m_pDocument && !m_pDocument->chargeReadLeds(xml, leds))
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

void CommandList::importSequence()
{
    const auto tr = [](const char* text) { return QCoreApplication::translate("CommandList", text); };
    const auto warn = [this](const QString& text) {
        QMessageBox::warning(m_pDocument, QCoreApplication::applicationName(), text);
    };
    // Frames a single import may add, counted in LED values: far more than a
    // panel controller holds, far less than it takes to exhaust memory.
    const qint64 maxNewLedValues = 16 * 1024 * 1024;

    const QString fileName = QFileDialog::getOpenFileName(nullptr, tr("Import sequence"),
                                                          QCoreApplication::applicationDirPath(),
                                                          tr("LED panel Sequence (*.csv);;All files (*)"));
    if (fileName.isEmpty())
        return;

    CsvModel table(CsvModel::NoQuotes, true, QLatin1Char(','), nullptr);
    if (!table.read(fileName)) {
        warn(tr("Cannot read file %1.").arg(QDir::toNativeSeparators(fileName)));
        return;
    }
    const int rows = table.rowCount();
    if (rows == 0)
        return;

    AbstractLedGraphicsScene* scene = m_pDocument ? m_pDocument->ledScene() : nullptr;
    const qint64 ledsPerNewFrame = scene ? AbstractLedGraphicsScene::ledCount(scene->rows(), scene->columns()) : 0;
    if (qint64(rows - frameCount()) * ledsPerNewFrame > maxNewLedValues) {
        warn(tr("The file %1 holds more frames than a sequence can take.")
                 .arg(QDir::toNativeSeparators(fileName)));
        return;
    }

    // Every frame takes as many values as it has LEDs; a wider file costs no more.
    LedTreeModel* model = m_pDocument ? m_pDocument->treeModel() : nullptr;
    for (int row = 0; row < rows; ++row) {
        if (row >= frameCount()) {
            auto* added = new LedStateCommand(this);
            if (model)
                model->append(added, this);
            else
                appendChild(added);
        }
        const QList<LedData*> leds = frame(row)->leds();
        for (int column = 0; column < leds.count(); ++column)
            leds.at(column)->setIntensity(table.data(row, column).trimmed().toInt(nullptr, 10));
    }

    if (m_pDocument)
        m_pDocument->setModified(true);
    if (scene)
        scene->update();
}

void CommandList::exportSequence()
{
    const auto tr = [](const char* text) { return QCoreApplication::translate("CommandList", text); };
    const auto warn = [this](const QString& text) {
        QMessageBox::warning(m_pDocument, QCoreApplication::applicationName(), text);
    };

    // Frames made under different layouts differ in LED count: the widest sets
    // the columns and the others are padded with 0, so nothing is lost.
    int ledCount = 0;
    for (int row = 0; row < frameCount(); ++row)
        ledCount = qMax(ledCount, frame(row)->leds().count());
    if (frameCount() == 0) {
        warn(tr("The sequence has no frames to export."));
        return;
    }
    if (ledCount == 0) {
        warn(tr("The frames of the sequence have no LEDs to export."));
        return;
    }

    const QString fileName = QFileDialog::getSaveFileName(nullptr, tr("Import sequence"),
                                                          QCoreApplication::applicationDirPath(),
                                                          tr("LED panel Sequence (*.csv);;All files (*)"));
    if (fileName.isEmpty())
        return;

    CsvModel table(CsvModel::NoQuotes, true, QLatin1Char(','), nullptr);
    table.createTable(0, ledCount);
    for (int column = 0; column < ledCount; ++column)
        table.setHeaderData(column, QString::number(column, 10));
    for (int row = 0; row < frameCount(); ++row) {
        table.insertRows(row, 1);
        const QList<LedData*> leds = frame(row)->leds();
        for (int column = 0; column < leds.count(); ++column)
            table.setData(row, column, QString::number(leds.at(column)->intensity(), 10));
        for (int column = leds.count(); column < ledCount; ++column)
            table.setData(row, column, QStringLiteral("0"));
    }
    if (!table.write(fileName))
        warn(tr("Cannot write file %1.").arg(QDir::toNativeSeparators(fileName)));
}
