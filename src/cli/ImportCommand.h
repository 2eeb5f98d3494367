#ifndef IMPORTCOMMAND_H
#define IMPORTCOMMAND_H

#include "cli/CliCommand.h"

// import IMAGE SHOW.xml -o OUT.xml: the picture's frames appended to a
// sequence of the show, or to a new one at its end.
class ImportCommand : public CliCommand
{
    Q_OBJECT

public:
    using CliCommand::CliCommand;

    void start() override;
};

#endif // IMPORTCOMMAND_H
