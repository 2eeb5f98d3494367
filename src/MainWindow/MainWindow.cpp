#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "Document/LedPanelDocument.h"
#include "Data/ChangeLayoutEdit.h"
#include "Document/LayoutDialog.h"
#include "Document/LedPanelInfoDialog.h"
#include "MainWindow/AboutDialog.h"
#include "MainWindow/DrawController.h"
#include "MainWindow/AutosaveController.h"
#include "MainWindow/EditController.h"
#include "MainWindow/LedSelectTool.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainSettings.h"
#include "MainWindow/PanelLinkController.h"
#include "MainWindow/PictureController.h"
#include "MainWindow/PlaybackController.h"
#include "MainWindow/RecentFiles.h"
#include "MainWindow/RecoveryOffer.h"
#include "TreeView/LedTreeView.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QFileInfo>
#include <QGridLayout>
#include <QLockFile>
#include <QMessageBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_pCurrentDocument(nullptr)
    , m_pDocumentStack(nullptr)
{
    ui->setupUi(this);
    m_pEditController = new EditController(this, ui->menubar);
    updateWindowTitle(QString());

    auto* layout = new QGridLayout(ui->centralwidget);
    m_pDocumentStack = new QStackedWidget(this);
    layout->addWidget(m_pDocumentStack, 0, 0, 1, 1);

    MainSettings::read();
    MainSettings::restoreWindowSize(this, QRect(300, 200, 800, 600));
    m_pPanelLink = new PanelLinkController(this, ui->menubar);
    connect(this, &MainWindow::currentDocumentChanged, m_pPanelLink, &PanelLinkController::setDocument);
    m_pPlayback = new PlaybackController(this, ui->menubar->playbackMenu());
    m_pDrawController = new DrawController(this, ui->menubar);
    m_pEditController->setSelectTool(m_pDrawController->selectTool());
    // A floating paste is dropped where it lies before frames play.
    connect(m_pPlayback->action_Play, &QAction::toggled, m_pDrawController->selectTool(), &LedSelectTool::drop);
    connect(m_pDrawController, &DrawController::aboutToDraw, m_pPlayback, &PlaybackController::pause);
    m_pPictures = new PictureController(this, ui->menubar);
    connect(this, &MainWindow::currentDocumentChanged, m_pDrawController, &DrawController::setDocument);
    connect(this, &MainWindow::currentDocumentChanged, m_pPictures, &PictureController::setDocument);
    m_pAutosave = new AutosaveController(this);
    connect(this, &MainWindow::currentDocumentChanged, m_pEditController, &EditController::setDocument);
    connect(this, &MainWindow::currentDocumentChanged, m_pPlayback, &PlaybackController::setDocument);
    connect(this, &MainWindow::currentDocumentChanged, m_pAutosave, &AutosaveController::setDocument);
    m_pAutosave->showFailuresOn(statusBar());
    m_pRecentFiles = new RecentFiles(ui->menubar->menu_RecentFiles, this);
    connect(m_pRecentFiles, &RecentFiles::chosen, this, &MainWindow::openFile);
    connect(m_pRecentFiles, &RecentFiles::gone, this, [this](const QString& fileName) {
        statusBar()->showMessage(tr("%1 is no longer there; it was removed from the recent files.")
                                     .arg(QDir::toNativeSeparators(fileName)),
                                 5000);
    });
    setAcceptDrops(true);

    setCurrentDocument_and_Connect(nullptr);
}

MainWindow::~MainWindow()
{
    // The document may still hold connections to this window; drop it first.
    if (m_pCurrentDocument)
        setCurrentDocument(nullptr);
    delete ui;
}

AbstractDocument* MainWindow::currentDocument() const
{
    return m_pCurrentDocument;
}

LedPanelDocument* MainWindow::currentLedPanelDocument() const
{
    return qobject_cast<LedPanelDocument*>(m_pCurrentDocument);
}

void MainWindow::setCurrentDocument(AbstractDocument* document)
{
    AbstractDocument* oldDocument = m_pCurrentDocument;
    if (oldDocument == document)
        return;
    if (oldDocument)
        m_pDocumentStack->removeWidget(oldDocument);
    if (document)
        m_pDocumentStack->addWidget(document);
    setCurrentDocument_and_Connect(document);
    delete oldDocument;
    // The keys go to the show's tree: left in the toolbar's speed field, they would be typed there and the
    // one-key shortcuts would do nothing.
    if (LedPanelDocument* ledDocument = currentLedPanelDocument())
        ledDocument->treeView()->setFocus();
}

void MainWindow::setCurrentDocument_and_Connect(AbstractDocument* document)
{
    if (document && document == m_pCurrentDocument)
        return;
    while (!m_CurrentConnections.isEmpty())
        disconnect(m_CurrentConnections.takeFirst());

    m_pCurrentDocument = document;
    emit currentDocumentChanged(qobject_cast<LedPanelDocument*>(document));
    // Save and Close follow the document, not only a finished port setup.
    ui->menubar->updateActions();
    if (!document) {
        // A closed document must not leave its name and modified mark in the title.
        updateWindowTitle(QString());
        setWindowModified(false);
        return;
    }

    m_CurrentConnections.append(connect(document, SIGNAL(fileNameChanged(QString)),
                                        this, SLOT(updateWindowTitle(QString))));
    updateWindowTitle(document->fileName());
    m_CurrentConnections.append(connect(document, SIGNAL(modifiedChanged(bool)),
                                        this, SLOT(setWindowModified(bool))));
    setWindowModified(document->isModified());
    if (auto* ledDocument = qobject_cast<LedPanelDocument*>(document))
        m_CurrentConnections.append(connect(ledDocument, &LedPanelDocument::saved, m_pRecentFiles, &RecentFiles::add));
}

void MainWindow::updateWindowTitle(const QString& fileName)
{
    setWindowTitle(fileName + QStringLiteral("[*]"));
}

void MainWindow::newDocument()
{
    if (m_pCurrentDocument && !m_pCurrentDocument->maybeSave())
        return;
    LedPanelDocument* document = LedPanelDocument::newDocument();
    // The panel the user chose for new documents; a fresh document has no history to keep.
    const LedLayout layout = LayoutDialog::defaultLayout();
    if (layout != document->panelLayout()) {
        document->submit(new ChangeLayoutEdit(*document, layout));
        document->undoStack()->clear();
    }
    setCurrentDocument(document);
}

void MainWindow::openDocument()
{
    if (m_pCurrentDocument && !m_pCurrentDocument->maybeSave())
        return;

    const QString directory = m_pCurrentDocument ? m_pCurrentDocument->fileDirectory() : QString();
    const QString fileName =
        QFileDialog::getOpenFileName(nullptr, tr("Open"), directory, LedPanelDocument::fileDialogFilter());
    if (!fileName.isEmpty())
        loadFile(fileName);
}

bool MainWindow::openFile(const QString& fileName)
{
    if (m_pCurrentDocument && !m_pCurrentDocument->maybeSave())
        return false;
    return loadFile(fileName);
}

bool MainWindow::loadFile(const QString& fileName)
{
    LedPanelDocument* document = LedPanelDocument::newDocument();
    if (!document->load(fileName)) {
        document->close();
        delete document;
        return false;
    }
    setCurrentDocument(document);
    m_pRecentFiles->add(document->filePath());
    statusBar()->showMessage(tr("Document loaded"), 2000);
    warnOfUnknownLayout(document);
    return true;
}

bool MainWindow::offerRecovery()
{
    QString baseName;
    std::unique_ptr<QLockFile> lock;
    LedPanelDocument* document = RecoveryOffer::ask(this, &baseName, &lock);
    if (!document)
        return false;
    setCurrentDocument(document);
    m_pAutosave->replaceRecoveryFiles(baseName, std::move(lock));
    warnOfUnknownLayout(document);
    return true;
}

void MainWindow::warnOfUnknownLayout(LedPanelDocument* document)
{
    if (!document->unknownLayoutType().isEmpty())
        QMessageBox::warning(this, tr("Layout"), LedPanelModel::unknownLayoutText(document->unknownLayoutType()));
}

AutosaveController* MainWindow::autosave() const
{
    return m_pAutosave;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile()
        && urls.first().toLocalFile().endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    // The drag source waits for the drop to end; the save question comes after it.
    const QString fileName = urls.first().toLocalFile();
    QTimer::singleShot(0, this, [this, fileName] { openFile(fileName); });
}

bool MainWindow::saveDocument()
{
    if (!m_pCurrentDocument)
        return false;
    if (!QFileInfo::exists(m_pCurrentDocument->filePath()))
        return saveAsDocument();
    if (!m_pCurrentDocument->save(m_pCurrentDocument->filePath()))
        return false;
    statusBar()->showMessage(tr("Document saved"), 2000);
    return true;
}

bool MainWindow::saveAsDocument()
{
    if (!m_pCurrentDocument)
        return false;
    if (!m_pCurrentDocument->saveDialog(QString()))
        return false;
    statusBar()->showMessage(tr("Document saved"), 2000);
    return true;
}

void MainWindow::closeDocument()
{
    if (m_pCurrentDocument && m_pCurrentDocument->maybeSave())
        setCurrentDocument(nullptr);
}

void MainWindow::ledPanelInfo()
{
    LedPanelDocument* document = currentLedPanelDocument();
    if (!document)
        return;
    auto* dialog = new LedPanelInfoDialog(document, this);
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->show();
}

void MainWindow::changeLayout()
{
    m_pPlayback->pause();
    m_pEditController->changeLayout();
}

void MainWindow::addSequence()
{
    m_pEditController->addSequence();
}

void MainWindow::removeSequence()
{
    m_pEditController->removeSequence();
}

void MainWindow::addFrame()
{
    m_pEditController->addFrame();
}

void MainWindow::addFrames()
{
    m_pEditController->addFrames();
}

void MainWindow::removeFrame()
{
    m_pEditController->removeFrame();
}

void MainWindow::setupPort()
{
    m_pPanelLink->setupPort();
}

void MainWindow::reset()
{
    m_pPanelLink->reset();
}

void MainWindow::next()
{
    m_pPanelLink->next();
}

void MainWindow::flash()
{
    m_pPanelLink->flash();
}

void MainWindow::stopWrite()
{
    m_pPanelLink->stopWrite();
}

void MainWindow::mspBoot()
{
    m_pPanelLink->mspBoot();
}

void MainWindow::checkWiring()
{
    m_pPanelLink->checkWiring();
}

void MainWindow::mspBootDialog()
{
    m_pPanelLink->mspBootDialog();
}

void MainWindow::aboutDialog()
{
    auto* dialog = new AboutDialog(this);
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->show();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_pPanelLink->mayClose()) {
        event->ignore();
        return;
    }
    if (m_pCurrentDocument) {
        if (!m_pCurrentDocument->maybeSave()) {
            event->ignore();
            return;
        }
        setCurrentDocument(nullptr);
    }
    // Idle flashers go only once the save question has let the editor go, so that a cancel
    // leaves them and their reports as they were.
    m_pPanelLink->closeFlashers();
    MainSettings::satSerialPortName(m_pPanelLink->portSettings().name);
    MainSettings::saveWindowSize(this);
    MainSettings::setFramesPerSecond(m_pPlayback->framesPerSecond());
    QString error;
    if (!MainSettings::write(&error)) {
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             tr("Cannot write the settings to %1:\n%2.")
                                 .arg(QDir::toNativeSeparators(MainSettings::fileName()), error));
    }
    event->accept();
}
