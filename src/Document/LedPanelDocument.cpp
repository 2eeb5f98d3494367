#include "Document/LedPanelDocument.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsScene_Rectangle.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"
#include "GraphicsView/LedStateWidget.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"
#include "ui_LedPanelDocument.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

int LedPanelDocument::sequenceNumber = 1;

LedPanelDocument::LedPanelDocument(QWidget* parent)
    : AbstractDocument(parent)
    , AbstractCommand(nullptr)
    , ui(new Ui::LedPanelDocument)
    , m_pShownFrame(nullptr)
    , m_ReadLedCount(0)
{
    ui->setupUi(this);
    ui->treeView->model()->setRootItem(this);

    AbstractLedGraphicsScene* scene = ledScene();
    m_SceneConnection = connect(ui->treeView, &LedTreeView::setFrame, scene, &AbstractLedGraphicsScene::setFrame);
    connect(scene, &AbstractLedGraphicsScene::ledToggled, this, [this]() { setModified(true); });

    connect(ui->treeView, &LedTreeView::setNone, this, [this]() {
        ui->stackedWidget->setCurrentIndex(0);
    });
    connect(ui->treeView, &LedTreeView::setFrame, this, [this](LedStateCommand* frame) {
        m_pShownFrame = frame;
        ui->stackedWidget->setCurrentIndex(2);
    });
    connect(ui->treeView, &LedTreeView::setSequence, this, [this]() {
        ui->stackedWidget->setCurrentIndex(1);
    });
    connect(ui->treeView->model(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &LedPanelDocument::releaseRemovedFrame);

    emit ui->treeView->setNone();
}

LedPanelDocument::~LedPanelDocument()
{
    // The frames die with the tree-node base, before the scenes do: unbind
    // them first so no LED item is left pointing at freed data.
    if (AbstractLedGraphicsScene* scene = ledScene())
        scene->clearFrame();
    m_pShownFrame = nullptr;
    delete ui;
    ui = nullptr;
}

LedPanelDocument* LedPanelDocument::newDocument()
{
    auto* document = new LedPanelDocument;
    document->setFileName(QStringLiteral("LedPanel_%1.xml").arg(sequenceNumber));
    ++sequenceNumber;
    return document;
}

int LedPanelDocument::type() const
{
    return 3;
}

AbstractLedGraphicsScene* LedPanelDocument::ledScene()
{
    return ui ? ui->ledState->scene() : nullptr;
}

LedStateWidget* LedPanelDocument::ledFrame()
{
    return ui->ledState;
}

LedTreeModel* LedPanelDocument::treeModel()
{
    return ui->treeView->model();
}

CommandList* LedPanelDocument::currentSequence()
{
    const QModelIndex index = ui->treeView->currentIndex();
    if (!index.isValid())
        return nullptr;
    auto* node = static_cast<AbstractCommand*>(index.internalPointer());
    if (node->type() == 2)
        return static_cast<CommandList*>(node);
    if (node->type() == 1)
        return static_cast<LedStateCommand*>(node)->sequence();
    return nullptr;
}

LedStateCommand* LedPanelDocument::currentFrame()
{
    const QModelIndex index = ui->treeView->currentIndex();
    if (!index.isValid())
        return nullptr;
    auto* node = static_cast<AbstractCommand*>(index.internalPointer());
    return node->type() == 1 ? static_cast<LedStateCommand*>(node) : nullptr;
}

int LedPanelDocument::sequenceCount() const
{
    return childs().count();
}

CommandList* LedPanelDocument::sequence(int index) const
{
    Q_ASSERT(index >= 0 && index < sequenceCount());
    return static_cast<CommandList*>(childs().at(index));
}

QString LedPanelDocument::title() const
{
    return m_Title;
}

void LedPanelDocument::setTitle(const QString& title)
{
    m_Title = title;
}

QString LedPanelDocument::description() const
{
    return m_Description;
}

void LedPanelDocument::setDescription(const QString& description)
{
    m_Description = description;
}

bool LedPanelDocument::load(const QString& fileName)
{
    if (fileName.isEmpty())
        return false;

    QFile file(fileName);
    if (!file.open(QFile::ReadOnly | QFile::Text)) {
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             tr("Cannot read file %1:\n%2.").arg(fileName, file.errorString()),
                             QMessageBox::Ok);
        return false;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool read = readXML(&file);
    QApplication::restoreOverrideCursor();
    file.close();

    // Half a document is no document: the caller drops it and the file keeps
    // its name for a later attempt.
    if (!read) {
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             tr("Error occur while reading xml data of %1.")
                                 .arg(QDir::toNativeSeparators(fileName)),
                             QMessageBox::Ok);
        return false;
    }

    setFilePath(fileName);
    setModified(false);
    return true;
}

bool LedPanelDocument::save(const QString& fileName)
{
    if (fileName.isEmpty())
        return false;

    QString errorMessage;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QSaveFile file(fileName);
    if (file.open(QFile::WriteOnly | QFile::Text)) {
        if (!writeXML(&file))
            errorMessage = tr("Error occur while creating xml data of %1.")
                               .arg(QDir::toNativeSeparators(fileName));
        if (!file.commit())
            errorMessage = tr("Cannot write file %1:\n%2.")
                               .arg(QDir::toNativeSeparators(fileName), file.errorString());
    } else {
        errorMessage = tr("Cannot open file %1 for writing:\n%2.")
                           .arg(QDir::toNativeSeparators(fileName), file.errorString());
    }
    QApplication::restoreOverrideCursor();

    if (!errorMessage.isEmpty()) {
        QMessageBox::warning(this, QCoreApplication::applicationName(), errorMessage, QMessageBox::Ok);
        return false;
    }

    setModified(false);
    setFilePath(fileName);
    return true;
}

bool LedPanelDocument::readXML(QIODevice* device)
{
    QXmlStreamReader xml(device);
    m_ReadLedCount = 0;
    if (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("LedPanelDocument")
            && xml.attributes().value(QLatin1String("version")) == QLatin1String("1.0"))
            readXML(xml);
        else
            xml.raiseError(tr("Invalid XML root element or version."));
    }
    return !xml.hasError();
}

void LedPanelDocument::readXML(QXmlStreamReader& xml)
{
    while (xml.readNextStartElement()) {
        const QStringRef name = xml.name();
        if (name == QLatin1String("Title")) {
            m_Title = xml.readElementText();
        } else if (name == QLatin1String("Description")) {
            m_Description = xml.readElementText();
        } else if (name == QLatin1String("Layout")) {
            const QStringRef type = xml.attributes().value(QLatin1String("type"));
            AbstractLedGraphicsScene* scene = nullptr;
            if (type == QLatin1String("Rectangle"))
                scene = new LedGraphicsScene_Rectangle(this);
            else if (type == QLatin1String("Ring"))
                scene = new LedGraphicsScene_Ring(this);
            if (!scene) {
                xml.skipCurrentElement();
                continue;
            }
            const int defaultItems = scene->ledItems().count();
            scene->readXML(xml);
            if (xml.hasError() || !chargeReadLeds(xml, defaultItems + scene->ledItems().count())) {
                delete scene;
                return;
            }
            setLayoutScene(scene);
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

bool LedPanelDocument::chargeReadLeds(QXmlStreamReader& xml, qint64 count)
{
    // A saved file spends some fifty characters on every LED value. A hand-made
    // one may leave LEDs out, but a few bytes must not stand for millions of
    // them: beyond a few of the largest layouts, each LED needs a character.
    const qint64 budget = 4 * qint64(AbstractLedGraphicsScene::MaxLedCount) + xml.characterOffset();
    if (m_ReadLedCount + count > budget) {
        xml.raiseError(tr("The file describes more LEDs than its size can hold."));
        return false;
    }
    m_ReadLedCount += count;
    return true;
}

bool LedPanelDocument::writeXML(QIODevice* device)
{
    QXmlStreamWriter xml(device);
    xml.setAutoFormatting(true);
    writeXML(xml);
    return !xml.hasError();
}

void LedPanelDocument::writeXML(QXmlStreamWriter& xml)
{
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("LedPanelDocument"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    xml.writeTextElement(QStringLiteral("Title"), m_Title);
    xml.writeTextElement(QStringLiteral("Description"), m_Description);
    ledScene()->writeXML(xml);
    for (int i = 0; i < sequenceCount(); ++i)
        sequence(i)->writeXML(xml, i);
    xml.writeEndElement();
    xml.writeEndDocument();
}

QString LedPanelDocument::openSaveFileDialogFilter() const
{
    return tr("LED panel Document (*.xml);;All files (*)");
}

void LedPanelDocument::setLayoutScene(AbstractLedGraphicsScene* scene)
{
    AbstractLedGraphicsScene* previous = ledScene();
    if (previous)
        previous->clearFrame();
    disconnect(m_SceneConnection);

    ui->ledState->setScene(scene);
    m_SceneConnection = connect(ui->treeView, &LedTreeView::setFrame, scene, &AbstractLedGraphicsScene::setFrame);
    connect(scene, &AbstractLedGraphicsScene::ledToggled, this, [this]() { setModified(true); });

    // A scene read earlier from the same file is ours; the view keeps its own.
    if (previous && previous->parent() == this)
        delete previous;
}

void LedPanelDocument::releaseRemovedFrame(const QModelIndex& parent, int first, int last)
{
    if (!m_pShownFrame)
        return;
    const AbstractCommand* parentNode =
        parent.isValid() ? static_cast<AbstractCommand*>(parent.internalPointer()) : this;
    const QList<AbstractCommand*> children = parentNode->childs();
    for (int row = qMax(first, 0); row <= last && row < children.count(); ++row) {
        // Compare pointers only: the shown frame may be gone already.
        AbstractCommand* node = children.at(row);
        if (node == m_pShownFrame || node->childs().contains(m_pShownFrame)) {
            if (AbstractLedGraphicsScene* scene = ledScene())
                scene->clearFrame();
            m_pShownFrame = nullptr;
            return;
        }
    }
}
