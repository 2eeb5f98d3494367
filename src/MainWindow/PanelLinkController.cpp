#include "MainWindow/PanelLinkController.h"

#include "Data/ProgramCompiler.h"
#include "Document/LedPanelDocument.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainSettings.h"
#include "MainWindow/MainWindow.h"
#include "MainWindow/WiringDialog.h"
#include "MspFlasher/MspFlashRun.h"
#include "MspFlasher/MspFlasherDialog.h"
#include "SerialPort/SerialPortSetupDialog.h"

#include <QAction>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPort>
#include <QStatusBar>

namespace {

QString commandSentText(PanelLink::ePanelCommand command)
{
    switch (command) {
    case PanelLink::cmdReset:
        return PanelLinkController::tr("Reset sent");
    case PanelLink::cmdNext:
        return PanelLinkController::tr("Next sent");
    case PanelLink::cmdEnterBootLoader:
        return PanelLinkController::tr("Boot loader command sent");
    }
    Q_UNREACHABLE();
    return QString();
}

} // namespace

PanelLinkController::PanelLinkController(MainWindow* window, MainMenu* menu)
    : QObject(window)
    , m_pWindow(window)
    , m_pMenu(menu)
    , m_pLink(new PanelLink(this))
    , m_pProgress(new QProgressBar(window))
    , m_pStopButton(new QPushButton(tr("Stop"), window))
{
    Q_ASSERT(m_pWindow && m_pMenu);
    m_pProgress->setObjectName(QStringLiteral("progressBar_Write"));
    m_pProgress->setMaximumWidth(160);
    m_pProgress->hide();
    m_pStopButton->setObjectName(QStringLiteral("pushButton_StopWrite"));
    m_pStopButton->setEnabled(false);
    m_pStopButton->hide();
    m_pWindow->statusBar()->addPermanentWidget(m_pProgress);
    m_pWindow->statusBar()->addPermanentWidget(m_pStopButton);
    connect(m_pStopButton, &QPushButton::clicked, this, &PanelLinkController::stopWrite);
    connect(m_pLink, &PanelLink::progress, this, &PanelLinkController::showProgress);
    connect(m_pLink, &PanelLink::finished, this, &PanelLinkController::linkFinished);

    SerialPortSettings settings;
    settings.name = MainSettings::getSerialPortName();
    if (settings.name.isEmpty())
        settings.name = SerialPortSetupDialog::defaultPortName();
    setPortSettings(settings);
}

SerialPortSettings PanelLinkController::portSettings() const
{
    return m_Settings;
}

void PanelLinkController::setPortSettings(const SerialPortSettings& settings)
{
    Q_ASSERT(!m_pLink->isBusy());
    m_Settings = settings;
    m_Settings.applyTo(*m_pLink->port());
}

bool PanelLinkController::isWriting() const
{
    return m_pLink->job() == PanelLink::jobProgram;
}

void PanelLinkController::setDocument(LedPanelDocument* document)
{
    m_pDocument = document;
}

void PanelLinkController::showMessage(const QString& text, int timeout)
{
    m_pWindow->statusBar()->showMessage(text, timeout);
}

bool PanelLinkController::mayClose()
{
    if (refuseWhileWriting())
        return false;
    const QList<MspFlasherDialog*> flashers =
        m_pWindow->findChildren<MspFlasherDialog*>(QString(), Qt::FindDirectChildrenOnly);
    for (MspFlasherDialog* flasher : flashers) {
        if (flasher->isVisible() && flasher->isFlashing()) {
            showMessage(tr("The device flasher is still running; please wait until it has finished."), 5000);
            return false;
        }
    }
    return true;
}

void PanelLinkController::closeFlashers()
{
    for (MspFlasherDialog* flasher : m_pWindow->findChildren<MspFlasherDialog*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (flasher->isVisible())
            flasher->close();
    }
}

bool PanelLinkController::refuseWhileWriting()
{
    if (!m_pLink->isBusy())
        return false;
    if (isWriting()) {
        m_Notice = tr("The panel is being programmed; please wait until the write has finished.");
        m_NoticeDeadline.setRemainingTime(5000);
        showMessage(m_Notice, 5000);
    } else {
        showMessage(tr("A command is still going out to the panel; please try again."), 2000);
    }
    return true;
}

bool PanelLinkController::refuseWhileFlashing()
{
    // The flasher's run talks to the boot loader on the same line: a panel command would break in.
    if (!MspFlashRun::isPortInUse(m_Settings.name))
        return false;
    showMessage(tr("The device flasher is using %1.").arg(m_Settings.name), 5000);
    return true;
}

void PanelLinkController::setupPort()
{
    if (refuseWhileWriting())
        return;
    // The dialog works on a port of its own; the link's takes the result only when it is accepted.
    auto* scratch = new QSerialPort(this);
    m_Settings.applyTo(*scratch);
    auto* dialog = new SerialPortSetupDialog(scratch, m_pWindow);
    scratch->setParent(dialog);
    connect(dialog, &QDialog::accepted, this, [this, scratch] {
        // The dialog is modal, so no write began while it was open.
        setPortSettings(SerialPortSettings::fromPort(*scratch));
    });
    connect(dialog, &QDialog::accepted, m_pMenu, &MainMenu::updateActions);
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->show();
}

void PanelLinkController::sendCommand(PanelLink::ePanelCommand command)
{
    if (refuseWhileWriting() || refuseWhileFlashing())
        return;
    m_pLink->sendCommand(command);
}

void PanelLinkController::reset()
{
    sendCommand(PanelLink::cmdReset);
}

void PanelLinkController::next()
{
    sendCommand(PanelLink::cmdNext);
}

void PanelLinkController::mspBoot()
{
    sendCommand(PanelLink::cmdEnterBootLoader);
}

void PanelLinkController::flash()
{
    if (refuseWhileWriting() || !m_pDocument || refuseWhileFlashing())
        return;
    // The image is a copy: the document may change, or go, while the blocks go out.
    QByteArray image;
    QString problem;
    if (!ProgramCompiler::compile(*m_pDocument, &image, &problem)) {
        QMessageBox::warning(m_pWindow, tr("Application"),
                             problem + QLatin1Char('\n') + tr("Nothing was sent to the panel."), QMessageBox::Close);
        return;
    }
    // Before the write starts: a port that does not open reports at once.
    setWriting(true);
    if (!m_pLink->writeProgram(image))
        setWriting(false);
}

void PanelLinkController::stopWrite()
{
    m_pLink->stop();
}

void PanelLinkController::mspBootDialog()
{
    auto* dialog = new MspFlasherDialog(m_Settings.name, QByteArray(1, char(0x04)), m_pWindow);
    connect(dialog, &MspFlasherDialog::finished, dialog, &QObject::deleteLater);
    dialog->show();
}

void PanelLinkController::checkWiring()
{
    if (refuseWhileWriting() || !m_pDocument || refuseWhileFlashing())
        return;
    auto* dialog = new WiringDialog(m_pDocument, m_pLink, m_pWindow);
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->start();
}

void PanelLinkController::setWriting(bool writing)
{
    for (QAction* action : { m_pMenu->action_SetupPort, m_pMenu->action_Reset, m_pMenu->action_Next,
                             m_pMenu->action_Flash, m_pMenu->action_MspBoot, m_pMenu->action_CheckWiring })
        action->setEnabled(!writing);
    m_pMenu->action_StopWrite->setEnabled(writing);
    m_pStopButton->setEnabled(writing);
    m_pStopButton->setVisible(writing);
    m_pProgress->setVisible(writing);
}

void PanelLinkController::showProgress(int done, int total)
{
    m_pProgress->setRange(0, total);
    m_pProgress->setValue(done);
    if (done >= total)
        return;
    QString text = tr("Writing block %1 of %2").arg(done + 1).arg(total);
    // The next block would otherwise wipe out, at once, why the window did not close.
    if (!m_NoticeDeadline.hasExpired())
        text = tr("%1. %2").arg(text, m_Notice);
    showMessage(text, 0);
}

void PanelLinkController::linkFinished(const PanelLink::Result& result)
{
    const bool program = result.job == PanelLink::jobProgram;
    if (program)
        setWriting(false);
    const QString stopped = tr("Writing stopped after block %1 of %2").arg(result.blocksSent).arg(result.blockCount);
    switch (result.outcome) {
    case PanelLink::outcomeDone:
        if (program)
            showMessage(tr("Programming finished!"), 5000);
        else
            showMessage(commandSentText(result.command), 2000);
        break;
    case PanelLink::outcomeStopped:
        showMessage(stopped + QLatin1Char('.'), 5000);
        break;
    case PanelLink::outcomeNotOpened:
    {
        QMessageBox box(QMessageBox::Warning, tr("Application"),
                        m_Settings.name.isEmpty() ? tr("No serial port is chosen; choose one with Setup Port.")
                                                  : tr("Cannot connect to serial port %1!").arg(m_Settings.name),
                        QMessageBox::Close, m_pWindow);
        if (!m_Settings.name.isEmpty())
            box.setInformativeText(result.errorText);
        box.exec();
        break;
    }
    case PanelLink::outcomeWriteFailed:
        // Stays until the next message: the panel holds part of a program now.
        if (program)
            showMessage(tr("%1; %2 is closed.").arg(stopped, m_Settings.name), 0);
        else
            m_pWindow->statusBar()->clearMessage();
        QMessageBox::warning(m_pWindow, tr("Application"),
                             tr("Writing to serial port %1 failed:\n%2").arg(m_Settings.name, result.errorText),
                             QMessageBox::Close);
        break;
    }
}
