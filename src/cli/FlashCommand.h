#ifndef FLASHCOMMAND_H
#define FLASHCOMMAND_H

#include "cli/CliCommand.h"

#include <QElapsedTimer>
#include <QList>
#include <QStringList>

class MspFlashRun;

// flash FIRMWARE.txt: the flasher window's run on every port given, all at once;
// with --check only what the file would write, without any port.
class FlashCommand : public CliCommand
{
    Q_OBJECT

public:
    using CliCommand::CliCommand;
    ~FlashCommand() override;

    void start() override;
    void interrupt() override;

    // Whether a run's report line is one of its steps rather than a failure or a stop.
    static bool isStepLine(const QString& text);

private:
    struct Board
    {
        QString port;
        MspFlashRun* run = nullptr;
        QStringList failures;
        bool done = false;
        bool ok = false;
    };

    void reportLine(Board& board, const QString& text);
    void runFinished(Board& board, bool ok);

    QList<Board*> m_Boards;
    QElapsedTimer m_Clock;
    bool m_Interrupted = false;
};

#endif // FLASHCOMMAND_H
