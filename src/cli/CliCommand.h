#ifndef CLICOMMAND_H
#define CLICOMMAND_H

#include <QJsonObject>
#include <QObject>
#include <QString>

class AbstractEdit;
class CliOptions;
class CliPrinter;
class LedPanelModel;

// One command of tessaloom-cli. It starts from the event loop and reports its
// exit status through finished(), once.
class CliCommand : public QObject
{
    Q_OBJECT

public:
    enum eStatus
    {
        statusOk = 0,
        statusDeviceFailed = 1, // the port, the line or the device
        statusUsage = 2,
        statusBadInput = 3, // an input file that cannot be read or used
        statusOutputFailed = 4,
        statusInterrupted = 130 // 128 + SIGINT, as shells report it
    };

    CliCommand(const CliOptions& options, CliPrinter& printer, QObject* parent = nullptr);

    // The command the options name.
    static CliCommand* create(const CliOptions& options, CliPrinter& printer, QObject* parent = nullptr);

    virtual void start() = 0;
    // Ctrl+C: commands that take time stop at their next safe point.
    virtual void interrupt();

signals:
    void finished(int status);

protected:
    // Prints the error (or nothing for success) and the JSON result, then ends from the event loop.
    void finish(int status, const QString& error = QString(), const QJsonObject& extra = QJsonObject());
    // Ends from the event loop, having printed all there is.
    void end(int status);
    // Reads the show named on the command line; an unreadable file finishes with statusBadInput.
    bool loadShow(LedPanelModel* show);
    bool loadShow(LedPanelModel* show, const QString& fileName);
    // Applies the edit; one that would pass the bound on LED values finishes with statusBadInput.
    bool submitEdit(LedPanelModel* show, AbstractEdit* edit);
    // Writes the show to the output file whole or not at all; a failure finishes with statusOutputFailed.
    bool saveShow(LedPanelModel& show);
    // The whole number an option holds, fallback when it is not given; outside
    // min..max it finishes with statusUsage.
    bool intOption(const QString& option, int fallback, int min, int max, int* value);
    // Compiles it; a show the panel cannot take finishes with statusBadInput.
    bool compileShow(const LedPanelModel& show, QByteArray* image);
    // False, finished with statusUsage and the text (%1: the output's name), when the output file is the input
    // file under any name: a typo would destroy the only copy of what it was made from.
    bool outputIsNot(const QString& input, const QString& refusal);

    const CliOptions& m_Options;
    CliPrinter& m_Printer;

private:
    bool m_Finished = false;
};

#endif // CLICOMMAND_H
