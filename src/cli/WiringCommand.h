#ifndef WIRINGCOMMAND_H
#define WIRINGCOMMAND_H

#include "cli/WriteCommand.h"

// wiring SHOW.xml: writes the wiring test program for the show's layout, as
// write does a show, then resets the panel; with --print lists its steps instead.
class WiringCommand : public WriteCommand
{
    Q_OBJECT

public:
    using WriteCommand::WriteCommand;

protected:
    bool buildImage(QByteArray* image) override;
    // The panel starts the test at its first step, as the editor's check does.
    bool resetsAfterWriting() const override { return true; }
};

#endif // WIRINGCOMMAND_H
