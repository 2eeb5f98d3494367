#include "cli/PanelCommand.h"

#include "SerialPort/SerialPortSettings.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"

PanelCommand::PanelCommand(const CliOptions& options, CliPrinter& printer, PanelLink::ePanelCommand command,
                           QObject* parent)
    : CliCommand(options, printer, parent)
    , m_pLink(new PanelLink(this))
    , m_Command(command)
    , m_Port(options.ports().value(0))
{
    connect(m_pLink, &PanelLink::finished, this, &PanelCommand::linkFinished);
}

void PanelCommand::start()
{
    SerialPortSettings settings;
    settings.name = m_Port;
    settings.baudRate = m_Options.baudRate();
    settings.applyTo(*m_pLink->port());
    m_pLink->sendCommand(m_Command);
}

void PanelCommand::linkFinished(const PanelLink::Result& result)
{
    if (result.outcome == PanelLink::outcomeNotOpened) {
        finish(statusDeviceFailed, tr("Cannot open serial port %1: %2").arg(m_Port, result.errorText));
        return;
    }
    m_Printer.detail(m_Port, QString::fromLatin1(PanelLink::commandFrame(m_Command).toHex(' ').toUpper()));
    if (result.outcome != PanelLink::outcomeDone) {
        finish(statusDeviceFailed, tr("Writing to %1 failed: %2").arg(m_Port, result.errorText));
    } else {
        m_Printer.summary(tr("Sent %1 to %2").arg(m_Options.command(), m_Port));
        finish(statusOk);
    }
}
