#include "SerialPort/PanelLink.h"

#include "SerialPort/SerialPortSettings.h"

#include <QSerialPort>

namespace {

const char WriteBlockCommand = 0x03;

} // namespace

PanelLink::PanelLink(QObject* parent)
    : QObject(parent)
    , m_pPort(new QSerialPort(this))
{
    qRegisterMetaType<PanelLink::Result>();

    m_PauseTimer.setSingleShot(true);
    m_PauseTimer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire early, and the pause is a minimum
    m_WriteTimer.setSingleShot(true);
    connect(&m_PauseTimer, &QTimer::timeout, this, &PanelLink::next);
    connect(&m_WriteTimer, &QTimer::timeout, this, [this]() {
        m_Failed = true;
        m_ErrorText = tr("The port took no data for %1 ms.").arg(WriteTimeoutMs);
        next();
    });
    connect(m_pPort, &QSerialPort::bytesWritten, this, &PanelLink::unitWritten);
    connect(m_pPort, &QSerialPort::errorOccurred, this, &PanelLink::portError);
}

PanelLink::~PanelLink()
{
    // Nobody is told any more; the port just must not stay open.
    m_pPort->disconnect(this);
    if (m_pPort->isOpen())
        m_pPort->close();
}

QSerialPort* PanelLink::port() const
{
    return m_pPort;
}

PanelLink::eJob PanelLink::job() const
{
    return m_Job;
}

bool PanelLink::isBusy() const
{
    return m_Job != jobNone;
}

int PanelLink::programBlockCount(int imageSize)
{
    return imageSize / BlockSize + (imageSize % BlockSize ? 1 : 0);
}

QByteArray PanelLink::programBlock(const QByteArray& image, int block)
{
    Q_ASSERT(block >= 0 && block < programBlockCount(image.size()));
    QByteArray bytes;
    bytes.reserve(4 + BlockSize);
    bytes.append(WriteBlockCommand);
    bytes.append('\0');
    bytes.append('\0');
    bytes.append(char(block % 256));
    // Zero filler reads as a sequence end on the controller, never as a frame opcode.
    QByteArray payload = image.mid(block * BlockSize, BlockSize);
    payload.append(QByteArray(BlockSize - payload.size(), '\0'));
    bytes.append(payload);
    return bytes;
}

QByteArray PanelLink::commandFrame(ePanelCommand command)
{
    QByteArray frame(4, '\0');
    frame[0] = char(command);
    return frame;
}

bool PanelLink::sendCommand(ePanelCommand command)
{
    if (isBusy())
        return false;
    m_LastCommand = command;
    if (start(jobCommand, QByteArray(), 0))
        sendUnit(commandFrame(command));
    return true;
}

bool PanelLink::writeProgram(const QByteArray& image)
{
    if (isBusy())
        return false;
    if (start(jobProgram, image, programBlockCount(image.size())))
        next();
    return true;
}

void PanelLink::stop()
{
    if (m_Job != jobProgram || m_StopRequested)
        return;
    m_StopRequested = true;
    // Never from inside a port signal: closing there would pull the port's notifier from under it.
    if (m_State == statePausing)
        m_PauseTimer.start(0);
}

bool PanelLink::start(eJob job, const QByteArray& image, int blockCount)
{
    m_Job = job;
    m_Image = image;
    m_BlockCount = blockCount;
    m_BlocksSent = 0;
    m_StopRequested = false;
    m_Failed = false;
    m_ErrorText.clear();
    if (!SerialPortSettings::open(*m_pPort, QIODevice::ReadWrite)) {
        finish(outcomeNotOpened, SerialPortSettings::openFailure(*m_pPort));
        return false;
    }
    m_pPort->clearError();
    m_State = statePausing;
    return true;
}

void PanelLink::sendUnit(const QByteArray& bytes)
{
    m_State = stateSending;
    m_UnitPending = bytes.size();
    m_WriteTimer.start(WriteTimeoutMs);
    if (m_pPort->write(bytes) != bytes.size()) {
        m_WriteTimer.stop();
        m_State = statePausing;
        m_Failed = true;
        m_ErrorText = m_pPort->errorString();
        m_PauseTimer.start(0);
    }
}

void PanelLink::unitWritten(qint64 bytes)
{
    if (m_State != stateSending)
        return;
    m_UnitPending -= bytes;
    if (m_UnitPending > 0)
        return;
    m_WriteTimer.stop();
    m_State = statePausing;
    if (m_Job == jobCommand) {
        m_PauseTimer.start(CommandHoldMs);
        return;
    }
    ++m_BlocksSent;
    m_PauseTimer.start(m_StopRequested ? 0 : BlockPauseMs);
    if (m_BlocksSent == m_BlockCount)
        emit progress(m_BlocksSent, m_BlockCount);
}

void PanelLink::portError()
{
    // The link reads nothing, so a failed read alone says nothing of the writes; a line
    // that has gone fails the next write. (On a hung-up line the read reports a stale errno.)
    const QSerialPort::SerialPortError error = m_pPort->error();
    if (m_State == stateIdle || m_Failed || error == QSerialPort::NoError || error == QSerialPort::ReadError)
        return;
    m_Failed = true;
    m_ErrorText = m_pPort->errorString();
    // The rest of a unit that still goes out changes nothing now.
    m_State = statePausing;
    m_WriteTimer.stop();
    m_PauseTimer.start(0);
}

void PanelLink::next()
{
    if (m_Failed)
        finish(outcomeWriteFailed, m_ErrorText);
    else if (m_Job == jobCommand || m_BlocksSent == m_BlockCount)
        finish(outcomeDone);
    else if (m_StopRequested)
        finish(outcomeStopped);
    else {
        sendUnit(programBlock(m_Image, m_BlocksSent));
        // Only now: a stop asked for from here must find the block on its way.
        emit progress(m_BlocksSent, m_BlockCount);
    }
}

void PanelLink::finish(eOutcome outcome, const QString& errorText)
{
    m_PauseTimer.stop();
    m_WriteTimer.stop();
    // Idle first: closing a port whose line has gone raises errors that are no news.
    m_State = stateIdle;
    if (m_pPort->isOpen())
        m_pPort->close();

    Result result;
    result.job = m_Job;
    result.command = m_LastCommand;
    result.outcome = outcome;
    result.blocksSent = m_BlocksSent;
    result.blockCount = m_BlockCount;
    result.errorText = errorText;
    m_Job = jobNone;
    m_Image.clear();
    emit finished(result);
}
