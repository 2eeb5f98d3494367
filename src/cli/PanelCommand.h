#ifndef PANELCOMMAND_H
#define PANELCOMMAND_H

#include "SerialPort/PanelLink.h"
#include "cli/CliCommand.h"

// reset, next and boot: one command frame to the panel firmware.
class PanelCommand : public CliCommand
{
    Q_OBJECT

public:
    PanelCommand(const CliOptions& options, CliPrinter& printer, PanelLink::ePanelCommand command,
                 QObject* parent = nullptr);

    void start() override;

private:
    void linkFinished(const PanelLink::Result& result);

    PanelLink* m_pLink;
    PanelLink::ePanelCommand m_Command;
    QString m_Port;
};

#endif // PANELCOMMAND_H
