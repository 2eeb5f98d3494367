#ifndef TEXTCOMMAND_H
#define TEXTCOMMAND_H

#include "cli/CliCommand.h"

// text SHOW.xml TEXT [--scroll] [--sequence N] -o OUT.xml: lettering appended to a sequence of a show.
class TextCommand : public CliCommand
{
    Q_OBJECT

public:
    using CliCommand::CliCommand;

    void start() override;
};

#endif // TEXTCOMMAND_H
