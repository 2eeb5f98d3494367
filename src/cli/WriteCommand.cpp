#include "cli/WriteCommand.h"

#include "Data/LedPanelModel.h"
#include "SerialPort/SerialPortSettings.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"

WriteCommand::WriteCommand(const CliOptions& options, CliPrinter& printer, QObject* parent)
    : CliCommand(options, printer, parent)
    , m_pLink(new PanelLink(this))
    , m_Port(options.ports().value(0))
{
    connect(m_pLink, &PanelLink::progress, this, &WriteCommand::blockStarted);
    connect(m_pLink, &PanelLink::finished, this, &WriteCommand::linkFinished);
}

bool WriteCommand::buildImage(QByteArray* image)
{
    LedPanelModel show;
    return loadShow(&show) && compileShow(show, image);
}

void WriteCommand::start()
{
    if (!buildImage(&m_Image))
        return;

    SerialPortSettings settings;
    settings.name = m_Port;
    settings.baudRate = m_Options.baudRate();
    settings.applyTo(*m_pLink->port());
    m_Clock.start();
    m_pLink->writeProgram(m_Image);
}

void WriteCommand::interrupt()
{
    m_Interrupted = true;
    m_pLink->stop();
}

void WriteCommand::blockStarted(int done, int total)
{
    // Only now is the port open.
    if (done == 0)
        m_Printer.report(m_Port, tr("Writing %1 bytes in %2 blocks").arg(m_Image.size()).arg(total));
    m_Printer.progress(m_Port, done, total, tr("blocks"));
    if (done < total)
        m_Printer.detail(m_Port, tr("block %1: %2").arg(done).arg(
                                     QString::fromLatin1(PanelLink::programBlock(m_Image, done).toHex(' ').toUpper())));
}

void WriteCommand::linkFinished(const PanelLink::Result& result)
{
    const QString where = tr("after %1 of %2 blocks").arg(result.blocksSent).arg(result.blockCount);
    switch (result.outcome) {
    case PanelLink::outcomeDone:
        if (m_Resetting) {
            m_Printer.report(m_Port, tr("Reset sent: the panel starts at the first sequence"));
            finish(statusOk);
            break;
        }
        m_Printer.summary(tr("Wrote %1 blocks to %2 in %3 s")
                              .arg(result.blockCount)
                              .arg(m_Port)
                              .arg(double(m_Clock.elapsed()) / 1000.0, 0, 'f', 1));
        if (resetsAfterWriting()) {
            m_Resetting = true;
            m_pLink->sendCommand(PanelLink::cmdReset);
            break;
        }
        finish(statusOk);
        break;
    case PanelLink::outcomeNotOpened:
        finish(statusDeviceFailed, tr("Cannot open serial port %1: %2").arg(m_Port, result.errorText));
        break;
    case PanelLink::outcomeWriteFailed:
        finish(statusDeviceFailed, m_Resetting
                                       ? tr("Writing to %1 failed: %2").arg(m_Port, result.errorText)
                                       : tr("Writing to %1 failed %2: %3").arg(m_Port, where, result.errorText));
        break;
    case PanelLink::outcomeStopped:
        finish(m_Interrupted ? statusInterrupted : statusDeviceFailed,
               tr("Interrupted: stopped %1; %2 is closed").arg(where, m_Port));
        break;
    }
}
