#include "cli/FlashCommand.h"

#include "MspFlasher/FirmwareImage.h"
#include "MspFlasher/MspFlashRun.h"
#include "SerialPort/SerialPortSettings.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"

#include <QJsonArray>

namespace {

// What the panel firmware takes as "enter your boot loader", as the flasher window sends it.
const char flashCommand = 0x04;

} // namespace

bool FlashCommand::isStepLine(const QString& text)
{
    static const char* const steps[] = { "Open serial port ",    "Enter MSP UART flasher", "Verify device",
                                         "Erase device",         "Write application code", "Jump to the application",
                                         "Close serial port ",   "Finished" };
    for (const char* step : steps) {
        if (text.startsWith(QLatin1String(step)))
            return !text.endsWith(QLatin1Char('!'));
    }
    return false;
}

FlashCommand::~FlashCommand()
{
    qDeleteAll(m_Boards);
}

void FlashCommand::start()
{
    // The whole file first: a bad one must not leave a board waiting in its boot loader.
    FirmwareImage firmware;
    if (!firmware.load(m_Options.input())) {
        finish(statusBadInput, m_Options.input() + QStringLiteral(": ") + firmware.failure().join(QStringLiteral(" ")));
        return;
    }
    const bool check = m_Options.isSet(QStringLiteral("check"));
    const QStringList risky = firmware.protectedBytes();
    if (check) {
        if (m_Printer.isJson()) {
            const QJsonArray summary = QJsonArray::fromStringList(firmware.summary());
            m_Printer.object(QJsonObject { { QStringLiteral("file"), m_Options.input() },
                                           { QStringLiteral("summary"), summary },
                                           { QStringLiteral("protected"), QJsonArray::fromStringList(risky) } });
        } else {
            m_Printer.output((firmware.summary() + risky).join(QLatin1Char('\n')) + QLatin1Char('\n'));
        }
    }
    if (!risky.isEmpty() && !m_Options.isSet(QStringLiteral("force"))) {
        finish(statusBadInput, tr("%1: not flashed without --force: %2")
                                   .arg(m_Options.input(), risky.join(QStringLiteral("; "))));
        return;
    }
    if (check) {
        finish(statusOk);
        return;
    }
    const QList<sMemory> image = firmware.sections();

    m_Clock.start();
    const QStringList ports = m_Options.ports();
    for (const QString& port : ports) {
        auto* board = new Board;
        board->port = port;
        board->run = new MspFlashRun(this);
        m_Boards << board;
        connect(board->run, &MspFlashRun::line, this, [this, board](const QString& text) { reportLine(*board, text); });
        connect(board->run, &MspFlashRun::dataPackets, this, [this, board](int sent, int total) {
            m_Printer.progress(board->port, sent, total, tr("packets"));
        });
        connect(board->run, &MspFlashRun::packetSent, this, [this, board](const QByteArray& bytes) {
            m_Printer.detail(board->port, tr("packet %1").arg(QString::fromLatin1(bytes.toHex(' ').toUpper())));
        });
        connect(board->run, &MspFlashRun::finished, this, [this, board](bool ok) { runFinished(*board, ok); });
    }
    for (Board* board : qAsConst(m_Boards)) {
        SerialPortSettings settings;
        settings.name = board->port;
        settings.baudRate = m_Options.baudRate();
        board->run->start(settings, QByteArray(1, flashCommand), image);
    }
}

void FlashCommand::interrupt()
{
    m_Interrupted = true;
    for (Board* board : qAsConst(m_Boards))
        board->run->stop();
}

void FlashCommand::reportLine(Board& board, const QString& text)
{
    if (isStepLine(text)) {
        m_Printer.report(board.port, text);
    } else {
        board.failures << text;
        m_Printer.failure(board.port, text);
    }
}

void FlashCommand::runFinished(Board& board, bool ok)
{
    board.done = true;
    board.ok = ok;
    for (const Board* other : qAsConst(m_Boards)) {
        if (!other->done)
            return;
    }

    QStringList failed;
    QStringList reasons;
    QJsonArray failedPorts;
    for (const Board* b : qAsConst(m_Boards)) {
        if (!b->ok) {
            failed << b->port;
            failedPorts.append(b->port);
            reasons << tr("%1 (%2)").arg(b->port, b->failures.join(QStringLiteral("; ")));
        }
    }
    qDeleteAll(m_Boards);
    m_Boards.clear();

    const QJsonObject extra { { QStringLiteral("failed"), failedPorts } };
    const int total = m_Options.ports().size();
    if (failed.isEmpty()) {
        m_Printer.summary(tr("Flashed %1 of %1 boards in %2 s: %3")
                              .arg(total)
                              .arg(double(m_Clock.elapsed()) / 1000.0, 0, 'f', 1)
                              .arg(m_Options.ports().join(QStringLiteral(", "))));
        finish(statusOk, QString(), extra);
        return;
    }
    const QString error = (m_Interrupted ? tr("Interrupted: %1 of %2 boards not flashed: %3")
                                         : tr("Flashing failed on %1 of %2 boards: %3"))
                              .arg(failed.size())
                              .arg(total)
                              .arg(reasons.join(QStringLiteral(", ")));
    finish(m_Interrupted ? statusInterrupted : statusDeviceFailed, error, extra);
}
