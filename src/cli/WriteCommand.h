#ifndef WRITECOMMAND_H
#define WRITECOMMAND_H

#include "SerialPort/PanelLink.h"
#include "cli/CliCommand.h"

#include <QByteArray>
#include <QElapsedTimer>

// write SHOW.xml: compiles the show and writes it to the panel at the editor's pace.
class WriteCommand : public CliCommand
{
    Q_OBJECT

public:
    WriteCommand(const CliOptions& options, CliPrinter& printer, QObject* parent = nullptr);

    void start() override;
    void interrupt() override;

protected:
    // The image to write; false once the command has finished without one.
    virtual bool buildImage(QByteArray* image);
    // A program that must run from its first sequence has Reset sent after it.
    virtual bool resetsAfterWriting() const { return false; }

private:
    void blockStarted(int done, int total);
    void linkFinished(const PanelLink::Result& result);

    PanelLink* m_pLink;
    QString m_Port;
    QByteArray m_Image;
    QElapsedTimer m_Clock;
    bool m_Interrupted = false;
    bool m_Resetting = false;
};

#endif // WRITECOMMAND_H
