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
#include "Document/LedPanelDocument.h"
#include "Document/LedPanelInfoDialog.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "MainWindow/AboutDialog.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainSettings.h"
#include "MainWindow/PlaybackController.h"
#include "MspFlasher/MspFlasherDialog.h"
#include "SerialPort/SerialPortSetupDialog.h"
#include "TreeView/LedTreeModel.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSerialPort>
#include <QStackedWidget>
#include <QStatusBar>
#include <QThread>

namespace {

const int BlockSize = 32;
const char WriteBlockCommand = 0x03;

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_pCurrentDocument(nullptr)
    , m_pDocumentStack(nullptr)
    , m_pPort(nullptr)
{
    m_pPort = new QSerialPort();
    ui->setupUi(this);
    updateWindowTitle(QString());

    auto* layout = new QGridLayout(ui->centralwidget);
    m_pDocumentStack = new QStackedWidget(this);
    layout->addWidget(m_pDocumentStack, 0, 0, 1, 1);

    MainSettings::read();
    MainSettings::restoreWindowSize(this, QRect(300, 200, 800, 600));
    m_pPort->setPortName(MainSettings::getSerialPortName());
    m_pPort->setBaudRate(57600, QSerialPort::AllDirections);
    m_pPlayback = new PlaybackController(this, ui->menubar->playbackMenu());

    setCurrentDocument_and_Connect(nullptr);
}

MainWindow::~MainWindow()
{
    // The document may still hold connections to this window; drop it first.
    if (m_pCurrentDocument)
        setCurrentDocument(nullptr);
    delete m_pPort;
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
    m_pPlayback->setDocument(qobject_cast<LedPanelDocument*>(document));
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
    return m_WritingToPanel;
}

bool MainWindow::refuseWhileWriting()
{
    if (!m_WritingToPanel)
        return false;
    statusBar()->showMessage(tr("The panel is being programmed; please wait until the write has finished."),
                             5000);
    return true;
}

void MainWindow::newDocument()
{
    if (refuseWhileWriting())
        return;
    if (m_pCurrentDocument && !m_pCurrentDocument->maybeSave())
        return;
    setCurrentDocument(LedPanelDocument::newDocument());
}

void MainWindow::openDocument()
{
    if (refuseWhileWriting())
        return;
    if (m_pCurrentDocument && !m_pCurrentDocument->maybeSave())
        return;

    QString fileName;
    {
        LedPanelDocument chooser;
        fileName = chooser.OpenDialog();
    }

    LedPanelDocument* document = LedPanelDocument::newDocument();
    if (!fileName.isEmpty() && document->load(fileName)) {
        setCurrentDocument(document);
        statusBar()->showMessage(tr("Document loaded"), 2000);
        return;
    }
    document->close();
    delete document;
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
    if (refuseWhileWriting())
        return;
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

bool MainWindow::openPort()
{
    if (m_pPort->open(QIODevice::ReadWrite)) {
        m_pPort->clearError();
        return true;
    }
    QMessageBox::warning(this, tr("Application"), tr("Cannot connect to serial port %1!").arg(m_pPort->portName()),
                         QMessageBox::Close);
    return false;
}

bool MainWindow::writeToPort(const QByteArray& bytes)
{
    const qint64 written = m_pPort->write(bytes);
    if (written != bytes.size())
        return false;
    m_pPort->flush();
    // flush() writes what it can; anything left is a line that does not take data.
    if (m_pPort->bytesToWrite() > 0 && !m_pPort->waitForBytesWritten(1000))
        return false;
    return m_pPort->isOpen() && m_pPort->error() == QSerialPort::NoError;
}

void MainWindow::reportWriteFailure()
{
    const QString reason = m_pPort->errorString();
    m_pPort->close();
    statusBar()->clearMessage();
    QMessageBox::warning(this, tr("Application"),
                         tr("Writing to serial port %1 failed:\n%2").arg(m_pPort->portName(), reason),
                         QMessageBox::Close);
}

void MainWindow::sendCommandFrame(char command)
{
    if (refuseWhileWriting())
        return;
    if (!openPort())
        return;
    const QByteArray frame = QByteArray(1, command) + QByteArray(3, '\0');
    if (!writeToPort(frame)) {
        reportWriteFailure();
        return;
    }
    QCoreApplication::processEvents();
    QThread::msleep(10);
    m_pPort->close();
}

void MainWindow::reset()
{
    sendCommandFrame(0x01);
}

void MainWindow::next()
{
    sendCommandFrame(0x02);
}

void MainWindow::mspBoot()
{
    sendCommandFrame(0x64);
}

int MainWindow::programBlockCount(int imageSize)
{
    return imageSize / BlockSize + (imageSize % BlockSize ? 1 : 0);
}

QByteArray MainWindow::programBlock(const QByteArray& image, int block)
{
    QByteArray bytes;
    bytes.reserve(4 + BlockSize);
    bytes.append(WriteBlockCommand);
    bytes.append('\0');
    bytes.append('\0');
    bytes.append(char(block % 256));
    // Zero filler reads as a sequence end on the controller, never as a frame opcode.
    QByteArray payload = image.mid(block * BlockSize, BlockSize);
    payload.append(QByteArray(BlockSize - payload.size(), '\0'));
    bytes.append(payload);
    return bytes;
}

bool MainWindow::checkCompilable(LedPanelDocument* document)
{
    AbstractLedGraphicsScene* scene = document->ledScene();
    const int rows = scene ? scene->rows() : 0;
    const int columns = scene ? scene->columns() : 0;
    QString problem;
    if (rows <= 0 || columns <= 0) {
        problem = tr("The panel layout has %1 rows and %2 columns, so it has no LEDs to program.")
                      .arg(rows)
                      .arg(columns);
    } else {
        const qint64 ledCount = qint64(rows) * columns;
        for (int s = 0; s < document->sequenceCount() && problem.isEmpty(); ++s) {
            CommandList* sequence = document->sequence(s);
            for (int f = 0; f < sequence->frameCount(); ++f) {
                const int leds = sequence->frame(f)->leds().count();
                if (leds > ledCount) {
                    problem = tr("Frame %1 of sequence %2 has %3 LEDs, but the panel layout has only %4.")
                                  .arg(f + 1)
                                  .arg(s + 1)
                                  .arg(leds)
                                  .arg(ledCount);
                    break;
                }
            }
        }
    }
    if (problem.isEmpty())
        return true;
    QMessageBox::warning(this, tr("Application"), problem + QLatin1Char('\n') + tr("Nothing was sent to the panel."),
                         QMessageBox::Close);
    return false;
}

void MainWindow::setWritingToPanel(bool writing)
{
    m_WritingToPanel = writing;
    if (auto* menu = qobject_cast<MainMenu*>(menuBar()))
        menu->setPanelWriteRunning(writing);
}

void MainWindow::flash()
{
    if (refuseWhileWriting())
        return;
    LedPanelDocument* document = currentLedPanelDocument();
    if (!document)
        return;
    if (!checkCompilable(document))
        return;
    if (!openPort())
        return;

    AbstractLedGraphicsScene* scene = document->ledScene();
    ProgramCompiler compiler(scene->rows(), scene->columns());
    for (int s = 0; s < document->sequenceCount(); ++s) {
        CommandList* sequence = document->sequence(s);
        compiler.addCommand(sequence);
        for (int f = 0; f < sequence->frameCount(); ++f)
            compiler.addCommand(sequence->frame(f));
        compiler.addCommand(cmdLedSequence);
    }
    const QByteArray image(compiler.programMemory(), compiler.programMemorySize());

    setWritingToPanel(true);
    const int blocks = programBlockCount(image.size());
    for (int n = 0; n < blocks; ++n) {
        statusBar()->showMessage(tr("Writing block %1 of %2").arg(n + 1).arg(blocks));
        if (!writeToPort(programBlock(image, n))) {
            setWritingToPanel(false);
            reportWriteFailure();
            return;
        }
        QCoreApplication::processEvents();
        QThread::msleep(100);
        QCoreApplication::processEvents();
    }
    setWritingToPanel(false);

    m_pPort->close();
    statusBar()->showMessage(tr("Programming finished!"), 5000);
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
    if (m_WritingToPanel) {
        refuseWhileWriting();
        event->ignore();
        return;
    }
    // A flasher window refuses to close while it runs; the main window must not pull it down then.
    const QList<MspFlasherDialog*> flashers = findChildren<MspFlasherDialog*>(QString(), Qt::FindDirectChildrenOnly);
    for (MspFlasherDialog* flasher : flashers) {
        if (flasher->isVisible() && !flasher->close()) {
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
    MainSettings::satSerialPortName(m_pPort->portName());
    MainSettings::saveWindowSize(this);
    MainSettings::setFramesPerSecond(m_pPlayback->framesPerSecond());
    MainSettings::write();
    event->accept();
}
