#ifndef NEWCOMMAND_H
#define NEWCOMMAND_H

#include "cli/CliCommand.h"

class LedLayout;

// new (--grid ROWSxCOLUMNS | --ring CIRCLESxLEDS) [--spacing S] [--frames N] -o SHOW.xml:
// a show on that panel with one sequence of dark frames.
class NewCommand : public CliCommand
{
    Q_OBJECT

public:
    using CliCommand::CliCommand;

    void start() override;

private:
    bool layoutOption(LedLayout* layout);
};

#endif // NEWCOMMAND_H
