#ifndef SEQUENCEFILEDIALOG_H
#define SEQUENCEFILEDIALOG_H

#include "Data/SequenceFileChooser.h"

#include <QCoreApplication>

// Asks for sequence files with the file dialogs and shows what went wrong in a
// warning over the sequence's document; what went well goes to the status bar
// of the window that holds the document.
class SequenceFileDialog : public SequenceFileChooser
{
    Q_DECLARE_TR_FUNCTIONS(SequenceFileDialog)

public:
    static SequenceFileDialog* instance();

    QString importFileName(CommandList* sequence) override;
    QString exportFileName(CommandList* sequence) override;
    void report(CommandList* sequence, const QString& message) override;
    void inform(CommandList* sequence, const QString& message) override;
};

#endif // SEQUENCEFILEDIALOG_H
