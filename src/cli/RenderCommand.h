#ifndef RENDERCOMMAND_H
#define RENDERCOMMAND_H

#include "cli/CliCommand.h"

// render SHOW.xml -o OUT.gif|OUT.png: a sequence as an animated GIF, or one of
// its frames as PNG, drawn as the LED view draws it. Needs no display.
class RenderCommand : public CliCommand
{
    Q_OBJECT

public:
    using CliCommand::CliCommand;

    void start() override;
};

#endif // RENDERCOMMAND_H
