#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "Abstract/AbstractCommand.h"
#include "Data/CommandList.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedStateCommand.h"
#include "Data/ProgramCompiler.h"
#include "Data/RemoveFramesEdit.h"
#include "Data/RemoveSequenceEdit.h"
#include "Document/AutosaveWriter.h"
#include "Document/LedPanelDocument.h"
#include "Data/ChangeLayoutEdit.h"
#include "Document/LayoutDialog.h"
#include "Document/LedPanelInfoDialog.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "MainWindow/AboutDialog.h"
#include "MainWindow/DrawController.h"
#include "MainWindow/AutosaveController.h"
#include "MainWindow/EditController.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainSettings.h"
#include "MainWindow/PictureController.h"
#include "MainWindow/PlaybackController.h"
#include "MainWindow/RecentFiles.h"
#include "MainWindow/WiringDialog.h"
#include "MainWindow/RecoveryOffer.h"
#include "MspFlasher/MspFlashRun.h"
#include "MspFlasher/MspFlasherDialog.h"
#include "SerialPort/SerialPortSetupDialog.h"
#include "TreeView/LedTreeModel.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPort>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_pCurrentDocument(nullptr)
    , m_pDocumentStack(nullptr)
    , m_pLink(nullptr)
    , m_pPort(nullptr)
    , m_pWriteProgress(nullptr)
    , m_pStopButton(nullptr)
{
    m_pLink = new PanelLink(this);
    m_pPort = m_pLink->port();
    ui->setupUi(this);
    m_pEditController = new EditController(this, qobject_cast<MainMenu*>(menuBar()));
    updateWindowTitle(QString());

    auto* layout = new QGridLayout(ui->centralwidget);
    m_pDocumentStack = new QStackedWidget(this);
    layout->addWidget(m_pDocumentStack, 0, 0, 1, 1);

    m_pWriteProgress = new QProgressBar(this);
    m_pWriteProgress->setObjectName(QStringLiteral("progressBar_Write"));
    m_pWriteProgress->setMaximumWidth(160);
    m_pWriteProgress->hide();
    m_pStopButton = new QPushButton(tr("Stop"), this);
    m_pStopButton->setObjectName(QStringLiteral("pushButton_StopWrite"));
    m_pStopButton->setEnabled(false);
    m_pStopButton->hide();
    statusBar()->addPermanentWidget(m_pWriteProgress);
    statusBar()->addPermanentWidget(m_pStopButton);
    connect(m_pStopButton, &QPushButton::clicked, this, &MainWindow::stopWrite);
    connect(m_pLink, &PanelLink::progress, this, &MainWindow::showWriteProgress);
    connect(m_pLink, &PanelLink::finished, this, &MainWindow::panelLinkFinished);

    MainSettings::read();
    MainSettings::restoreWindowSize(this, QRect(300, 200, 800, 600));
    m_pPort->setPortName(MainSettings::getSerialPortName());
    m_pPort->setBaudRate(57600, QSerialPort::AllDirections);
    m_pPlayback = new PlaybackController(this, ui->menubar->playbackMenu());
    m_pDrawController = new DrawController(this, qobject_cast<MainMenu*>(menuBar()));
    connect(m_pDrawController, &DrawController::aboutToDraw, m_pPlayback, &PlaybackController::pause);
    m_pPictures = new PictureController(this, ui->menubar);
    connect(this, &MainWindow::currentDocumentChanged, m_pDrawController, &DrawController::setDocument);
    connect(this, &MainWindow::currentDocumentChanged, m_pPictures, &PictureController::setDocument);
    m_pAutosave = new AutosaveController(this);
    connect(this, &MainWindow::currentDocumentChanged, m_pEditController, &EditController::setDocument);
    connect(this, &MainWindow::currentDocumentChanged, m_pPlayback, &PlaybackController::setDocument);
    connect(this, &MainWindow::currentDocumentChanged, m_pAutosave, &AutosaveController::setDocument);
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
    // While this window is still whole: the link reports to it.
    delete m_pLink;
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
    if (auto* menu = qobject_cast<MainMenu*>(menuBar()))
        menu->updateActions();
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
}

void MainWindow::updateWindowTitle(const QString& fileName)
{
    setWindowTitle(fileName + QStringLiteral("[*]"));
}

bool MainWindow::isWritingToPanel() const
{
    return m_pLink->job() == PanelLink::jobProgram;
}

bool MainWindow::refuseWhileWriting()
{
    if (!m_pLink->isBusy())
        return false;
    if (isWritingToPanel())
        statusBar()->showMessage(tr("The panel is being programmed; please wait until the write has finished."),
                                 5000);
    else
        statusBar()->showMessage(tr("A command is still going out to the panel; please try again."), 2000);
    return true;
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
    if (!document->unknownLayoutType().isEmpty())
        QMessageBox::warning(this, tr("Layout"), LedPanelModel::unknownLayoutText(document->unknownLayoutType()));
    return true;
}

bool MainWindow::offerRecovery()
{
    QString baseName;
    LedPanelDocument* document = RecoveryOffer::ask(this, &baseName);
    if (!document)
        return false;
    setCurrentDocument(document);
    // The old files go once the new ones are on disk.
    if (AutosaveWriter* writer = m_pAutosave->writer())
        writer->waitForDone();
    RecoveryOffer::removeFiles(baseName);
    return true;
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
    m_pRecentFiles->add(m_pCurrentDocument->filePath());
    statusBar()->showMessage(tr("Document saved"), 2000);
    return true;
}

bool MainWindow::saveAsDocument()
{
    if (!m_pCurrentDocument)
        return false;
    if (!m_pCurrentDocument->saveDialog(QString()))
        return false;
    m_pRecentFiles->add(m_pCurrentDocument->filePath());
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
    LedPanelDocument* document = currentLedPanelDocument();
    if (!document)
        return;
    m_pPlayback->pause();
    auto* dialog = new LayoutDialog(document, this);
    dialog->setObjectName(QStringLiteral("LayoutDialog"));
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    connect(dialog, &LayoutDialog::layoutChanged, this, [this](qint64 dropped) {
        if (dropped > 0)
            statusBar()->showMessage(tr("%n lit LED(s) fell outside the new layout and were dropped.", nullptr,
                                        int(qMin<qint64>(dropped, INT_MAX))),
                                     5000);
    });
    dialog->show();
}

void MainWindow::addSequence()
{
    LedPanelDocument* document = currentLedPanelDocument();
    if (!document)
        return;
    document->submit(new InsertSequenceEdit(tr("Add sequence"), document->sequenceCount()));
}

void MainWindow::removeSequence()
{
    LedPanelDocument* document = currentLedPanelDocument();
    if (!document)
        return;
    CommandList* sequence = document->currentSequence();
    if (!sequence)
        return;
    document->submit(new RemoveSequenceEdit(tr("Remove sequence"), sequence->index()));
}

void MainWindow::appendFrames(int count)
{
    LedPanelDocument* document = currentLedPanelDocument();
    CommandList* sequence = document ? document->currentSequence() : nullptr;
    if (!sequence)
        return;
    const QVector<QVector<int>> frames(count, QVector<int>(int(document->panelLayout().ledCount()), 0));
    document->submit(new InsertFramesEdit(count == 1 ? tr("Add frame") : tr("Add frames"), sequence->index(),
                                          sequence->frameCount(), frames));
}

void MainWindow::addFrame()
{
    appendFrames(1);
}

void MainWindow::addFrames()
{
    LedPanelDocument* document = currentLedPanelDocument();
    if (!document || !document->currentSequence())
        return;
    bool ok = false;
    const int count = QInputDialog::getInt(this, QStringLiteral("Append LedStates"), QStringLiteral("Number:"),
                                           10, 1, 999, 1, &ok);
    // All of them are one edit, so they are also undone at once.
    if (ok)
        appendFrames(count);
}

void MainWindow::removeFrame()
{
    LedPanelDocument* document = currentLedPanelDocument();
    if (!document)
        return;
    LedStateCommand* frame = document->currentFrame();
    if (!frame)
        return;
    document->submit(new RemoveFramesEdit(tr("Remove frame"), frame->parent()->index(), { frame->index() }));
}

void MainWindow::setupPort()
{
    if (refuseWhileWriting())
        return;
    auto* dialog = new SerialPortSetupDialog(m_pPort, this);
    auto* menu = qobject_cast<MainMenu*>(menuBar());
    if (menu)
        connect(dialog, &QDialog::accepted, menu, &MainMenu::updateActions);
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->show();
}

bool MainWindow::refuseWhileFlashing()
{
    // The flasher's run talks to the boot loader on the same line: a panel command would break in.
    const QString portName = m_pPort->portName();
    if (!MspFlashRun::isPortInUse(portName))
        return false;
    statusBar()->showMessage(tr("The device flasher is using %1.").arg(portName), 5000);
    return true;
}

void MainWindow::sendCommand(PanelLink::ePanelCommand command)
{
    if (refuseWhileWriting() || refuseWhileFlashing())
        return;
    m_pLink->sendCommand(command);
}

QString MainWindow::commandSentText(PanelLink::ePanelCommand command)
{
    switch (command) {
    case PanelLink::cmdReset:
        return tr("Reset sent");
    case PanelLink::cmdNext:
        return tr("Next sent");
    case PanelLink::cmdEnterBootLoader:
        return tr("Boot loader command sent");
    }
    Q_UNREACHABLE();
    return QString();
}

void MainWindow::reset()
{
    sendCommand(PanelLink::cmdReset);
}

void MainWindow::next()
{
    sendCommand(PanelLink::cmdNext);
}

void MainWindow::mspBoot()
{
    sendCommand(PanelLink::cmdEnterBootLoader);
}

void MainWindow::setWritingToPanel(bool writing)
{
    if (auto* menu = qobject_cast<MainMenu*>(menuBar()))
        menu->setPanelWriteRunning(writing);
    m_pStopButton->setEnabled(writing);
    m_pStopButton->setVisible(writing);
    m_pWriteProgress->setVisible(writing);
}

void MainWindow::showWriteProgress(int done, int total)
{
    m_pWriteProgress->setRange(0, total);
    m_pWriteProgress->setValue(done);
    if (done < total)
        statusBar()->showMessage(tr("Writing block %1 of %2").arg(done + 1).arg(total));
}

void MainWindow::panelLinkFinished(const PanelLink::Result& result)
{
    if (result.job == PanelLink::jobProgram)
        setWritingToPanel(false);
    switch (result.outcome) {
    case PanelLink::outcomeDone:
        if (result.job == PanelLink::jobProgram)
            statusBar()->showMessage(tr("Programming finished!"), 5000);
        else
            statusBar()->showMessage(commandSentText(result.command), 2000);
        break;
    case PanelLink::outcomeStopped:
        statusBar()->showMessage(
            tr("Writing stopped after block %1 of %2.").arg(result.blocksSent).arg(result.blockCount), 5000);
        break;
    case PanelLink::outcomeNotOpened:
    {
        QMessageBox box(QMessageBox::Warning, tr("Application"),
                        tr("Cannot connect to serial port %1!").arg(m_pPort->portName()), QMessageBox::Close, this);
        box.setInformativeText(result.errorText.isEmpty() ? m_pPort->errorString() : result.errorText);
        box.exec();
        break;
    }
    case PanelLink::outcomeWriteFailed:
        statusBar()->clearMessage();
        QMessageBox::warning(this, tr("Application"),
                             tr("Writing to serial port %1 failed:\n%2").arg(m_pPort->portName(), result.errorText),
                             QMessageBox::Close);
        break;
    }
}

void MainWindow::flash()
{
    if (refuseWhileWriting())
        return;
    LedPanelDocument* document = currentLedPanelDocument();
    if (!document || refuseWhileFlashing())
        return;
    // The image is a copy: the document may change, or go, while the blocks go out.
    QByteArray image;
    QString problem;
    if (!ProgramCompiler::compile(*document, &image, &problem)) {
        QMessageBox::warning(this, tr("Application"), problem + QLatin1Char('\n') + tr("Nothing was sent to the panel."),
                             QMessageBox::Close);
        return;
    }

    // Before the write starts: a port that does not open reports at once.
    setWritingToPanel(true);
    if (!m_pLink->writeProgram(image))
        setWritingToPanel(false);
}

void MainWindow::stopWrite()
{
    m_pLink->stop();
}

void MainWindow::checkWiring()
{
    LedPanelDocument* document = currentLedPanelDocument();
    if (!document || refuseWhileWriting() || refuseWhileFlashing())
        return;
    auto* dialog = new WiringDialog(document, m_pLink, this);
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->start();
}

void MainWindow::mspBootDialog()
{
    auto* dialog = new MspFlasherDialog(m_pPort->portName(), QByteArray(1, char(0x04)), this);
    connect(dialog, &MspFlasherDialog::finished, dialog, &QObject::deleteLater);
    dialog->show();
}

void MainWindow::aboutDialog()
{
    auto* dialog = new AboutDialog(this);
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->show();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (refuseWhileWriting()) {
        event->ignore();
        return;
    }
    // A running flasher keeps the editor open; idle ones close only once the save question
    // has let the editor go, so that a cancel leaves them and their reports as they were.
    const QList<MspFlasherDialog*> flashers = findChildren<MspFlasherDialog*>(QString(), Qt::FindDirectChildrenOnly);
    for (MspFlasherDialog* flasher : flashers) {
        if (flasher->isVisible() && flasher->isFlashing()) {
            statusBar()->showMessage(tr("The device flasher is still running; please wait until it has finished."),
                                     5000);
            event->ignore();
            return;
        }
    }
    if (m_pCurrentDocument) {
        if (!m_pCurrentDocument->maybeSave()) {
            event->ignore();
            return;
        }
        setCurrentDocument(nullptr);
    }
    // Asked again: the save question ran an event loop.
    for (MspFlasherDialog* flasher : findChildren<MspFlasherDialog*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (flasher->isVisible())
            flasher->close();
    }
    MainSettings::satSerialPortName(m_pPort->portName());
    MainSettings::saveWindowSize(this);
    MainSettings::setFramesPerSecond(m_pPlayback->framesPerSecond());
    MainSettings::write();
    event->accept();
}
