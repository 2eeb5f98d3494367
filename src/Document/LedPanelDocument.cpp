#include "Document/LedPanelDocument.h"

#include "Abstract/AbstractEdit.h"
#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/EditCommand.h"
#include "Document/SequenceFileDialog.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "Helper/CheckedFileReader.h"
#include "Helper/CheckedFileWriter.h"
#include "GraphicsView/LedStateWidget.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"
#include "ui_LedPanelDocument.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QUndoStack>

#include <algorithm>

int LedPanelDocument::sequenceNumber = 1;

LedPanelDocument::LedPanelDocument(QWidget* parent)
    : AbstractDocument(parent)
    , ui(new Ui::LedPanelDocument)
    , m_pUndoStack(new QUndoStack(this))
{
    CommandList::setFileChooser(SequenceFileDialog::instance());

    ui->setupUi(this);
    ui->treeView->model()->setRootItem(this);
    addObserver(this);

    // The view starts on the default ring; a show of another layout gets its own scene.
    if (ledScene()->layout() != panelLayout())
        setLayoutScene(AbstractLedGraphicsScene::create(panelLayout(), this));
    AbstractLedGraphicsScene* scene = ledScene();
    m_SceneConnection = connect(ui->treeView, &LedTreeView::setFrame, scene, &AbstractLedGraphicsScene::setFrame);

    connect(ui->treeView, &LedTreeView::setNone, this, [this]() {
        ui->stackedWidget->setCurrentIndex(0);
    });
    connect(ui->treeView, &LedTreeView::setFrame, this, [this]() { ui->stackedWidget->setCurrentIndex(2); });
    connect(ui->treeView, &LedTreeView::setSequence, this, [this]() {
        ui->stackedWidget->setCurrentIndex(1);
    });
    QAbstractItemModel* model = ui->treeView->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &LedPanelDocument::treeChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &LedPanelDocument::treeChanged);
    connect(model, &QAbstractItemModel::rowsMoved, this, &LedPanelDocument::treeChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &LedPanelDocument::treeChanged);
    // The frame before the shown one may be another now.
    connect(this, &LedPanelDocument::treeChanged, this, &LedPanelDocument::showCurrentFrame);

    // Undoing back to what was saved makes the document clean again.
    connect(m_pUndoStack, &QUndoStack::cleanChanged, this, [this](bool clean) { setModified(!clean); });

    emit ui->treeView->setNone();
}

LedPanelDocument::~LedPanelDocument()
{
    // The history holds frames taken out of the show; it goes first, quietly.
    delete m_pUndoStack;
    m_pUndoStack = nullptr;
    removeObserver(this);
    ui->treeView->model()->setRootItem(nullptr);
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
    return typeDocument;
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

LedTreeView* LedPanelDocument::treeView()
{
    return ui->treeView;
}

QUndoStack* LedPanelDocument::undoStack() const
{
    return m_pUndoStack;
}

void LedPanelDocument::makeCurrent(AbstractCommand* node)
{
    if (!node)
        return;
    const QModelIndex index = treeModel()->index(node);
    // Not the view's setCurrentIndex(): with Ctrl held for the undo key it would toggle the selection.
    ui->treeView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    ui->treeView->scrollTo(index);
}

QList<int> LedPanelDocument::targetFrameRows()
{
    CommandList* sequence = currentSequence();
    if (!sequence)
        return {};
    QList<int> rows;
    const QModelIndexList selected = ui->treeView->selectionModel()->selectedRows();
    for (const QModelIndex& index : selected) {
        const auto* node = static_cast<const AbstractCommand*>(index.internalPointer());
        if (node->type() == typeLedState && node->parent() == sequence)
            rows.append(index.row());
    }
    if (rows.isEmpty() && currentFrame())
        rows.append(currentFrame()->index());
    std::sort(rows.begin(), rows.end());
    return rows;
}

CommandList* LedPanelDocument::currentSequence()
{
    const QModelIndex index = ui->treeView->currentIndex();
    if (!index.isValid())
        return nullptr;
    auto* node = static_cast<AbstractCommand*>(index.internalPointer());
    if (node->type() == typeCommandList)
        return static_cast<CommandList*>(node);
    if (node->type() == typeLedState)
        return static_cast<LedStateCommand*>(node)->sequence();
    return nullptr;
}

LedStateCommand* LedPanelDocument::currentFrame()
{
    const QModelIndex index = ui->treeView->currentIndex();
    if (!index.isValid())
        return nullptr;
    auto* node = static_cast<AbstractCommand*>(index.internalPointer());
    return node->type() == typeLedState ? static_cast<LedStateCommand*>(node) : nullptr;
}

bool LedPanelDocument::load(const QString& fileName)
{
    if (fileName.isEmpty())
        return false;

    QFile file(fileName);
    QString reason;
    if (!CheckedFileReader::open(file, QFile::Text, &reason)) {
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             tr("Cannot read file %1:\n%2.").arg(fileName, reason), QMessageBox::Ok);
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
                                     .arg(QDir::toNativeSeparators(fileName))
                                 + QLatin1Char('\n') + readError(),
                             QMessageBox::Ok);
        return false;
    }

    setFilePath(fileName);
    // A name that is no text in the system's encoding comes back from Qt with a stand-in character and
    // names no file: untitled, the show is saved where the user says, not beside its file under that name.
    if (!QFileInfo::exists(filePath())) {
        setFilePath(QString());
        setFileName(QFileInfo(fileName).fileName());
    }
    noteFileOnDisk();
    m_pUndoStack->clear();
    setModified(false);
    return true;
}

bool LedPanelDocument::save(const QString& fileName)
{
    if (fileName.isEmpty())
        return false;
    if (changedOnDisk(fileName)
        && QMessageBox::warning(this, QCoreApplication::applicationName(),
                                tr("%1 was changed by another program since it was opened or saved here.\n"
                                   "Save over those changes?")
                                    .arg(this->fileName()),
                                QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel)
               != QMessageBox::Save)
        return false;

    QString errorMessage;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CheckedFileWriter file(fileName);
    file.setWaitForReader(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        errorMessage = tr("Cannot open file %1 for writing:\n%2.")
                           .arg(QDir::toNativeSeparators(fileName), file.errorString());
    } else if (!writeXML(&file) || !file.commit()) {
        errorMessage = tr("Cannot write file %1:\n%2.")
                           .arg(QDir::toNativeSeparators(fileName), file.errorString());
    }
    QApplication::restoreOverrideCursor();

    if (!errorMessage.isEmpty()) {
        QMessageBox::warning(this, QCoreApplication::applicationName(), errorMessage, QMessageBox::Ok);
        return false;
    }

    m_pUndoStack->setClean();
    setModified(false);
    setFilePath(fileName);
    noteFileOnDisk();
    emit saved(filePath());
    return true;
}

namespace {
// Empty for what is no plain file: reading a pipe would wait for a writer.
QByteArray contentHash(const QFileInfo& info)
{
    QFile file(info.filePath());
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result();
}
} // namespace

void LedPanelDocument::noteFileOnDisk()
{
    const QFileInfo file(filePath());
    m_DiskTime = file.lastModified();
    m_DiskSize = file.exists() ? file.size() : -1;
    m_DiskHash = contentHash(file);
}

bool LedPanelDocument::changedOnDisk(const QString& fileName) const
{
    if (m_DiskSize < 0)
        return false;
    const QString canonical = QFileInfo(fileName).canonicalFilePath();
    // Its own name, now a link to another file: a save would write into that one.
    if (fileName == filePath() && !canonical.isEmpty() && canonical != filePath())
        return true;
    if (canonical != filePath())
        return false;
    // Gone is not changed: Save puts it back.
    const QFileInfo file(filePath());
    if (!file.exists())
        return false;
    // A change of the same size within the clock's tick (or a FAT disk's two seconds) keeps both.
    return file.lastModified() != m_DiskTime || file.size() != m_DiskSize || contentHash(file) != m_DiskHash;
}

QVariantMap LedPanelDocument::fileState() const
{
    if (m_DiskSize < 0)
        return {};
    return { { QStringLiteral("Time"), m_DiskTime.toMSecsSinceEpoch() },
             { QStringLiteral("Size"), m_DiskSize },
             { QStringLiteral("Hash"), QString::fromLatin1(m_DiskHash.toHex()) } };
}

void LedPanelDocument::setFileState(const QVariantMap& state)
{
    bool timeOk = false, sizeOk = false;
    const qint64 time = state.value(QStringLiteral("Time")).toLongLong(&timeOk);
    const qint64 size = state.value(QStringLiteral("Size")).toLongLong(&sizeOk);
    // A state that cannot be read tells nothing: Save then asks nothing, as before any file.
    m_DiskSize = timeOk && sizeOk && size >= 0 ? size : -1;
    m_DiskTime = QDateTime::fromMSecsSinceEpoch(time);
    m_DiskHash = QByteArray::fromHex(state.value(QStringLiteral("Hash")).toString().toLatin1());
}

QString LedPanelDocument::fileDialogFilter()
{
    return tr("LED panel Document (*.xml);;All files (*)");
}

QString LedPanelDocument::openSaveFileDialogFilter() const
{
    return fileDialogFilter();
}

QString LedPanelDocument::defaultSuffix() const
{
    // Open lists only *.xml at first, and only those are taken when dropped on the window.
    return QStringLiteral("xml");
}

void LedPanelDocument::execute(AbstractEdit* edit)
{
    // The stack runs the edit (and announces it) as it takes it.
    m_pUndoStack->push(new EditCommand(this, edit));
}

bool LedPanelDocument::focusNextPrevChild(bool next)
{
    // On a frame, Tab and Shift+Tab take turns between the tree and the LED view.
    QWidget* focus = QApplication::focusWidget();
    if (ui->ledState->isVisible() && (focus == ui->treeView || focus == ui->ledState)) {
        QWidget* other = focus == ui->treeView ? static_cast<QWidget*>(ui->ledState) : ui->treeView;
        other->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return AbstractDocument::focusNextPrevChild(next);
}

void LedPanelDocument::refuse(const QString& reason)
{
    QMessageBox::warning(this, QCoreApplication::applicationName(), reason, QMessageBox::Ok);
}

void LedPanelDocument::setLayoutScene(AbstractLedGraphicsScene* scene)
{
    AbstractLedGraphicsScene* previous = ledScene();
    disconnect(m_SceneConnection);

    ui->ledState->setScene(scene);
    m_SceneConnection = connect(ui->treeView, &LedTreeView::setFrame, scene, &AbstractLedGraphicsScene::setFrame);

    // A scene made for a layout read from a file is ours; the view keeps its own.
    if (previous && previous->QObject::parent() == this)
        delete previous;
}

void LedPanelDocument::showCurrentFrame()
{
    AbstractLedGraphicsScene* scene = ledScene();
    if (LedStateCommand* frame = currentFrame(); frame && scene)
        scene->setFrame(frame);
}

void LedPanelDocument::ledsChanged(LedStateCommand* frame)
{
    // The shown frame, or the one before it that the onion skin shows.
    const LedStateCommand* shown = currentFrame();
    if (shown && frame->parent() == shown->parent())
        showCurrentFrame();
}

void LedPanelDocument::showAboutToBeReset()
{
    // The history speaks of the show as it was; a file read into it ends that history.
    if (m_pUndoStack->count() > 0) {
        const bool modified = isModified();
        m_pUndoStack->clear();
        if (modified)
            m_pUndoStack->resetClean();
    }
}

void LedPanelDocument::layoutChanged()
{
    // A scene never changes its parameters: another layout is another scene.
    setLayoutScene(AbstractLedGraphicsScene::create(panelLayout(), this));
    showCurrentFrame();
}

void LedPanelDocument::showReset()
{
    AbstractLedGraphicsScene* scene = ledScene();
    if (scene && scene->layout() != panelLayout())
        setLayoutScene(AbstractLedGraphicsScene::create(panelLayout(), this));
}
