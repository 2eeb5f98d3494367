#ifndef SEQUENCEFILECHOOSER_H
#define SEQUENCEFILECHOOSER_H

#include <QString>

class CommandList;

// How a sequence's import and export ask for a file and tell what went wrong.
// The model has no windows; the editor installs one that shows dialogs.
class SequenceFileChooser
{
public:
    virtual ~SequenceFileChooser() = default;

    // An empty name means the user cancelled.
    virtual QString importFileName(CommandList* sequence) = 0;
    virtual QString exportFileName(CommandList* sequence) = 0;
    virtual void report(CommandList* sequence, const QString& message) = 0;
    // What a finished import did, in passing.
    virtual void inform(CommandList* sequence, const QString& message) = 0;
};

#endif // SEQUENCEFILECHOOSER_H
