#ifndef INFOCOMMAND_H
#define INFOCOMMAND_H

#include "cli/CliCommand.h"

// info SHOW.xml: what a show holds and what writing it will take.
class InfoCommand : public CliCommand
{
    Q_OBJECT

public:
    using CliCommand::CliCommand;

    void start() override;

    // A write's duration: every block's pause and its 36 bytes at 10 bits each.
    static double writeSeconds(int blocks, qint32 baudRate);
};

#endif // INFOCOMMAND_H
