#ifndef COMPILECOMMAND_H
#define COMPILECOMMAND_H

#include "cli/CliCommand.h"

// compile SHOW.xml -o IMAGE.bin: the program image as the panel stores it, without block headers;
// with --format c as C source.
class CompileCommand : public CliCommand
{
    Q_OBJECT

public:
    using CliCommand::CliCommand;

    void start() override;
};

#endif // COMPILECOMMAND_H
