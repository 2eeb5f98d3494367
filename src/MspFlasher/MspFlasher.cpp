#include "MspFlasher/MspFlasher.h"

#include "Helper/CRC.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTextStream>

namespace {

const uint8_t packetHeader = 0x80;
const uint8_t cmdDataBlock = 0x10;
const uint8_t cmdJump = 0x1C;
const int answerTimeout = 5000;
// A stop lets a board that answers finish the packet in hand, so that the report can tell what it took.
const int stopGraceMs = 1000;
const int stopPollMs = 100;

} // namespace

MspFlasher::MspFlasher(QSerialPort* port)
    : m_pSerialPort(port)
{
    Q_ASSERT_X(m_pSerialPort, "MspFlasher", "m_pSerialPort");
}

const QList<sMemory>& MspFlasher::memoryData() const
{
    return m_MemoryData;
}

bool MspFlasher::readMemoryFile(QTextStream& stream)
{
    TiTxtReader reader;
    const bool ok = reader.read(stream);
    m_MemoryData = reader.memory();
    m_ErrorLine = reader.errorLine();
    m_ErrorString = reader.errorString();
    return ok;
}

int MspFlasher::errorLine() const
{
    return m_ErrorLine;
}

QString MspFlasher::errorString() const
{
    return m_ErrorString;
}

void MspFlasher::setMemoryData(const QList<sMemory>& memory)
{
    m_MemoryData = memory;
}

void MspFlasher::setStopFlag(const std::atomic<bool>* stop)
{
    m_pStop = stop;
}

bool MspFlasher::isStopRequested() const
{
    return m_pStop && m_pStop->load();
}

uint16_t MspFlasher::packetCRC(tBSLPacket tPacket)
{
    CRC_CCITT crc;
    crc.add(tPacket.tPayload.ui8Command);
    if (tPacket.ui8Length > 1) {
        crc.add(tPacket.tPayload.ui8Addr_L);
        crc.add(tPacket.tPayload.ui8Addr_M);
        crc.add(tPacket.tPayload.ui8Addr_H);
    }
    if (tPacket.ui8Length > 4)
        crc.add(tPacket.tPayload.ui8pData, tPacket.ui8Length - 4);
    return crc.crc();
}

char MspFlasher::getResponse(int timeOut)
{
    const QDeadlineTimer deadline(qMax(timeOut, 0));
    QElapsedTimer waited;
    waited.start();
    m_LineFailed = false;
    m_WaitStopped = false;
    for (;;) {
        if (!m_pSerialPort->isOpen())
            return -1;
        m_Response = m_pSerialPort->readAll();
        if (!m_Response.isEmpty())
            return m_Response.at(m_Response.size() - 1);
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            return -1;
        if (isStopRequested() && waited.elapsed() >= stopGraceMs) {
            m_WaitStopped = true;
            return -1;
        }

        // In slices, so that a stop need not wait for a board that does not answer. A slice that ends
        // without data on a line in error (a device gone) ends the wait: no answer will come over it.
        const int slice = int(qMin<qint64>(left, stopPollMs));
        if (!m_pSerialPort->waitForReadyRead(slice) && m_pSerialPort->error() != QSerialPort::NoError
            && m_pSerialPort->error() != QSerialPort::TimeoutError) {
            m_LineFailed = true;
            return -1;
        }
    }
}

void MspFlasher::discardReceived()
{
    // Stale answers (a late byte, the jump's 0x55) must not pass for the next packet's.
    // Without an event loop they reach the port's buffer only through a wait.
    while (m_pSerialPort->waitForReadyRead(0)) {
    }
    m_Response = m_pSerialPort->readAll();
    m_Response.clear();
}

void MspFlasher::sendPacket(tBSLPacket tPacket)
{
    if (!m_pSerialPort->isOpen())
        return;
    discardReceived();

    QByteArray bytes;
    bytes.reserve(tPacket.ui8Length + 4);
    bytes.append(char(tPacket.ui8Header));
    bytes.append(char(tPacket.ui8Length));
    bytes.append(char(tPacket.tPayload.ui8Command));
    if (tPacket.ui8Length > 1) {
        bytes.append(char(tPacket.tPayload.ui8Addr_L));
        bytes.append(char(tPacket.tPayload.ui8Addr_M));
        bytes.append(char(tPacket.tPayload.ui8Addr_H));
    }
    if (tPacket.ui8Length > 4)
        bytes.append(reinterpret_cast<const char*>(tPacket.tPayload.ui8pData), tPacket.ui8Length - 4);
    bytes.append(char(tPacket.ui16Checksum & 0xFF));
    bytes.append(char(tPacket.ui16Checksum >> 8));

    for (char b : qAsConst(bytes))
        m_pSerialPort->write(&b, 1);
    writeOut();
    emit packetSent(bytes);
}

void MspFlasher::writeOut()
{
    m_pSerialPort->flush();
    // flush() writes what the line takes at once; nobody's event loop writes the rest.
    if (m_pSerialPort->bytesToWrite() > 0)
        m_pSerialPort->waitForBytesWritten(answerTimeout);
}

char MspFlasher::sendCommand(uint8_t cmd)
{
    if (!m_pSerialPort->isOpen())
        return -1;

    tBSLPacket packet = {};
    packet.ui8Header = packetHeader;
    packet.ui8Length = 1;
    packet.tPayload.ui8Command = cmd;
    packet.ui16Checksum = packetCRC(packet);
    sendPacket(packet);

    // The jump leaves the boot loader, which then has nobody to answer for.
    if (cmd == cmdJump)
        return 0;
    return getResponse(answerTimeout);
}

char MspFlasher::sendDataArray(uint32_t addr, const uint8_t* data, uint32_t len)
{
    if (!m_pSerialPort->isOpen() || len == 0 || len > maxDataLength)
        return -1;

    tBSLPacket packet = {};
    packet.ui8Header = packetHeader;
    packet.ui8Length = static_cast<uint8_t>(len + 4);
    packet.tPayload.ui8Command = cmdDataBlock;
    packet.tPayload.ui8Addr_L = static_cast<uint8_t>(addr);
    packet.tPayload.ui8Addr_M = static_cast<uint8_t>(addr >> 8);
    packet.tPayload.ui8Addr_H = static_cast<uint8_t>(addr >> 16);
    packet.tPayload.ui8pData = data;
    packet.ui16Checksum = packetCRC(packet);
    sendPacket(packet);
    return getResponse(answerTimeout);
}

void MspFlasher::sendSingleByte(char c)
{
    if (!m_pSerialPort->isOpen())
        return;
    discardReceived();
    m_pSerialPort->write(&c, 1);
    writeOut();
}

void MspFlasher::showError(char code)
{
    static const char* const texts[] = { "Incorrect header", "Packet checksum error", "Packet size is zero",
                                         "Packet size is invalid", "Error in protocol" };
    const uint8_t answer = static_cast<uint8_t>(code);
    if (answer == 0xFF && m_WaitStopped) {
        emit message(QStringLiteral("Stopped while waiting for the answer"));
    } else if (answer == 0xFF && m_LineFailed) {
        // No timeout: the wait ended at once. The system's reason for a hung-up line is a stale errno.
        emit message(QStringLiteral("Error: (-1) No answer: the line to the board failed"));
    } else if (answer == 0xFF) {
        emit message(QStringLiteral("Error: (-1) Timeout"));
    } else if (answer >= 0x51 && answer <= 0x55) {
        emit message(QStringLiteral("Error: (%1) %2").arg(answer, 0, 16).arg(QLatin1String(texts[answer - 0x51])));
    } else {
        // A code the boot loader does not define: a negative number in hexadecimal would only puzzle.
        const QString hex = QStringLiteral("%1").arg(answer, 2, 16, QLatin1Char('0')).toUpper();
        emit message(QStringLiteral("Error: unknown answer 0x%1").arg(hex));
    }
}
