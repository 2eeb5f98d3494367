#include "Data/LedPanelModel.h"

#include "Abstract/AbstractEdit.h"
#include "Data/BoundedXmlDevice.h"
#include "Data/CommandList.h"
#include "Data/LedPanelObserver.h"
#include "Data/LedStateCommand.h"

#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <memory>

namespace {

// A carriage return written as it is reads back as a line feed: a reader takes it for a line end. As a
// character reference it stays what it was.
void writeText(QXmlStreamWriter& xml, const QString& name, const QString& text)
{
    xml.writeStartElement(name);
    const QStringList parts = text.split(QLatin1Char('\r'));
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0)
            xml.writeEntityReference(QStringLiteral("#13"));
        xml.writeCharacters(parts.at(i));
    }
    xml.writeEndElement();
}

} // namespace

LedPanelModel::LedPanelModel()
    : AbstractCommand(nullptr)
    , m_ReadLedValues(0)
{
}

LedPanelModel::~LedPanelModel()
{
    // Observers outlive no show; they must have said goodbye.
    Q_ASSERT(m_Observers.isEmpty());
}

int LedPanelModel::type() const
{
    return typeDocument;
}

QString LedPanelModel::title() const
{
    return m_Title;
}

void LedPanelModel::setTitle(const QString& title)
{
    m_Title = title;
}

QString LedPanelModel::description() const
{
    return m_Description;
}

void LedPanelModel::setDescription(const QString& description)
{
    m_Description = description;
}

const LedLayout& LedPanelModel::panelLayout() const
{
    return m_Layout;
}

int LedPanelModel::sequenceCount() const
{
    return childs().count();
}

CommandList* LedPanelModel::sequence(int index) const
{
    Q_ASSERT(index >= 0 && index < sequenceCount());
    return static_cast<CommandList*>(childs().at(index));
}

AbstractCommand* LedPanelModel::node(int sequence, int frame) const
{
    if (sequence < 0 || sequence >= sequenceCount())
        return nullptr;
    CommandList* list = this->sequence(sequence);
    if (frame < 0)
        return list;
    return frame < list->frameCount() ? list->frame(frame) : nullptr;
}

qint64 LedPanelModel::ledValueCount() const
{
    qint64 count = 0;
    for (int s = 0; s < sequenceCount(); ++s) {
        const CommandList* list = sequence(s);
        for (int f = 0; f < list->frameCount(); ++f)
            count += list->frame(f)->ledCount();
    }
    return count;
}

QString LedPanelModel::tooManyLedValuesText()
{
    return tr("The document would hold more than %1 LED values.").arg(MaxLedValues);
}

bool LedPanelModel::fitsInFile(const QString& text)
{
    // The reader refuses a longer run of text; written as a save writes it, tags and all, to stay within it.
    if (qint64(text.size()) * 6 + 32 <= BoundedXmlDevice::MaxTextRun)
        return true;
    if (text.size() > BoundedXmlDevice::MaxTextRun)
        return false;
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    writeText(xml, QStringLiteral("Description"), text);
    return bytes.size() <= BoundedXmlDevice::MaxTextRun;
}

QString LedPanelModel::textTooLongText()
{
    return tr("A title or description of more than %1 MiB cannot be saved.").arg(BoundedXmlDevice::MaxTextRun >> 20);
}

bool LedPanelModel::submit(AbstractEdit* edit)
{
    Q_ASSERT(edit);
    std::unique_ptr<AbstractEdit> owned(edit);
    const QString refusal = edit->refusal();
    if (!refusal.isEmpty()) {
        refuse(refusal);
        return false;
    }
    if (!admits(edit->ledValueGrowth()))
        return false;
    execute(owned.release());
    return true;
}

bool LedPanelModel::holds(qint64 growth) const
{
    return growth <= 0 || ledValueCount() + growth <= MaxLedValues;
}

bool LedPanelModel::admits(qint64 growth)
{
    if (!holds(growth)) {
        refuse(tooManyLedValuesText());
        return false;
    }
    return true;
}

void LedPanelModel::execute(AbstractEdit* edit)
{
    edit->redo(*this);
    delete edit;
}

void LedPanelModel::refuse(const QString& reason)
{
    Q_UNUSED(reason)
}

bool LedPanelModel::readXML(QIODevice* device)
{
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->showAboutToBeReset();

    BoundedXmlDevice bounded(device);
    QXmlStreamReader xml(&bounded);
    m_ReadLedValues = ledValueCount();
    m_ReadError.clear();
    m_UnknownLayoutType.clear();
    if (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("LedPanelDocument")
            && xml.attributes().value(QLatin1String("version")) == QLatin1String("1.0"))
            readXML(xml);
        else
            xml.raiseError(tr("Invalid XML root element or version."));
    }
    if (xml.hasError()) {
        m_ReadError = tr("Line %1, column %2: %3")
                          .arg(xml.lineNumber())
                          .arg(xml.columnNumber() + 1)
                          .arg(bounded.reason().isEmpty() ? xml.errorString() : bounded.reason());
    }

    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->showReset();
    return !xml.hasError();
}

void LedPanelModel::readXML(QXmlStreamReader& xml)
{
    bool layoutRead = false;
    while (xml.readNextStartElement()) {
        const QStringRef name = xml.name();
        if (name == QLatin1String("Title")) {
            m_Title = xml.readElementText();
        } else if (name == QLatin1String("Description")) {
            m_Description = xml.readElementText();
        } else if (name == QLatin1String("Layout")) {
            // Frames take their LED count, and are charged, by the layout in force when they are read:
            // a layout that came later would give them another one.
            if (sequenceCount() > 0) {
                xml.raiseError(tr("The Layout element comes after the sequences; it must come before them."));
                return;
            }
            if (layoutRead) {
                xml.raiseError(tr("A second Layout element: a show has one layout."));
                return;
            }
            layoutRead = true;
            const QStringRef type = xml.attributes().value(QLatin1String("type"));
            if (type != QLatin1String("Rectangle") && type != QLatin1String("Ring")) {
                // Stored files may rely on opening; the reader tells about it.
                m_UnknownLayoutType = type.toString();
                xml.skipCurrentElement();
                continue;
            }
            LedLayout layout(type == QLatin1String("Ring") ? LedLayout::Ring : LedLayout::Rectangle);
            layout.readXML(xml);
            if (xml.hasError())
                return;
            m_Layout = layout;
        } else if (name == QLatin1String("CommandList")) {
            const int index = xml.attributes().value(QLatin1String("index")).toInt(nullptr, 10);
            if (index == sequenceCount())
                appendChild(new CommandList(this));
            if (index >= 0 && index < sequenceCount())
                sequence(index)->readXML(xml);
            else
                xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
}

QString LedPanelModel::unknownLayoutType() const
{
    return m_UnknownLayoutType;
}

QString LedPanelModel::unknownLayoutText(const QString& type)
{
    return tr("The layout type \"%1\" is unknown; the document uses the default ring.").arg(type);
}

QString LedPanelModel::readError() const
{
    return m_ReadError;
}

bool LedPanelModel::chargeReadLeds(QXmlStreamReader& xml, qint64 count)
{
    if (m_ReadLedValues + count > MaxLedValues) {
        xml.raiseError(tooManyLedValuesText());
        return false;
    }
    m_ReadLedValues += count;
    return true;
}

bool LedPanelModel::writeXML(QIODevice* device)
{
    QXmlStreamWriter xml(device);
    xml.setAutoFormatting(true);
    writeXML(xml);
    return !xml.hasError();
}

void LedPanelModel::writeXML(QXmlStreamWriter& xml)
{
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("LedPanelDocument"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    writeText(xml, QStringLiteral("Title"), m_Title);
    writeText(xml, QStringLiteral("Description"), m_Description);
    m_Layout.writeXML(xml);
    for (int i = 0; i < sequenceCount(); ++i)
        sequence(i)->writeXML(xml, i);
    xml.writeEndElement();
    xml.writeEndDocument();
}

LedPanelModel* LedPanelModel::copyShow() const
{
    auto* copy = new LedPanelModel;
    copy->m_Title = m_Title;
    copy->m_Description = m_Description;
    copy->m_Layout = m_Layout;
    for (int s = 0; s < sequenceCount(); ++s) {
        const CommandList* source = sequence(s);
        auto* list = new CommandList(copy);
        list->setLabel(source->label());
        for (int f = 0; f < source->frameCount(); ++f)
            list->appendChild(new LedStateCommand(list, source->frame(f)->intensities()));
        copy->appendChild(list);
    }
    return copy;
}

void LedPanelModel::addObserver(LedPanelObserver* observer)
{
    Q_ASSERT(observer);
    if (!m_Observers.contains(observer))
        m_Observers.append(observer);
}

void LedPanelModel::removeObserver(LedPanelObserver* observer)
{
    m_Observers.removeAll(observer);
}

void LedPanelModel::insertNodes(AbstractCommand* parent, int row, const QList<AbstractCommand*>& nodes)
{
    Q_ASSERT(parent);
    Q_ASSERT(row >= 0 && row <= parent->childs().count());
    if (nodes.isEmpty())
        return;
    const int last = row + nodes.count() - 1;
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->nodesAboutToBeInserted(parent, row, last);
    for (int i = 0; i < nodes.count(); ++i)
        parent->insertChild(row + i, nodes.at(i));
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->nodesInserted(parent, row, last);
}

QList<AbstractCommand*> LedPanelModel::takeNodes(AbstractCommand* parent, int row, int count)
{
    Q_ASSERT(parent);
    Q_ASSERT(row >= 0 && count >= 0 && row + count <= parent->childs().count());
    QList<AbstractCommand*> taken;
    if (count == 0)
        return taken;
    const int last = row + count - 1;
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->nodesAboutToBeRemoved(parent, row, last);
    taken = parent->childs().mid(row, count);
    for (AbstractCommand* node : qAsConst(taken))
        parent->removeChild(node);
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->nodesRemoved(parent, row, last);
    return taken;
}

void LedPanelModel::moveNodes(AbstractCommand* parent, int first, int last, int destination)
{
    Q_ASSERT(parent);
    const int count = parent->childs().count();
    Q_ASSERT(first >= 0 && first <= last && last < count);
    Q_ASSERT(destination >= 0 && destination <= count);
    if (destination >= first && destination <= last + 1)
        return;
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->nodesAboutToBeMoved(parent, first, last, destination);
    const QList<AbstractCommand*> moving = parent->childs().mid(first, last - first + 1);
    for (AbstractCommand* node : moving)
        parent->removeChild(node);
    const int row = destination > last ? destination - moving.count() : destination;
    for (int i = 0; i < moving.count(); ++i)
        parent->insertChild(row + i, moving.at(i));
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->nodesMoved(parent, first, last, destination);
}

void LedPanelModel::notifyLedsChanged(LedStateCommand* frame)
{
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->ledsChanged(frame);
}

void LedPanelModel::setLayout(const LedLayout& layout, const QVector<QVector<int>>& intensities)
{
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->layoutAboutToBeChanged();
    m_Layout = layout;
    int next = 0;
    for (int s = 0; s < sequenceCount(); ++s) {
        const CommandList* list = sequence(s);
        for (int f = 0; f < list->frameCount(); ++f)
            list->frame(f)->setIntensities(intensities.value(next++));
    }
    Q_ASSERT(next == intensities.count());
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->layoutChanged();
}

void LedPanelModel::setInfo(const QString& title, const QString& description)
{
    m_Title = title;
    m_Description = description;
    for (LedPanelObserver* observer : qAsConst(m_Observers))
        observer->infoChanged();
}
