#include "PanelController.h"

namespace {

const int blockSize = 32;
const int maxPayload = 20;
const quint32 memoryFirst = 0x4000;
const quint32 memoryLast = 0x43FFF;

QString hex2(quint8 b)
{
    return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

quint16 ccitt(const QByteArray& bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= quint16(quint8(c)) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = quint16((crc & 0x8000) ? (crc << 1) ^ 0x1021 : (crc << 1));
    }
    return crc;
}

} // namespace

PanelController::PanelController(int rows, int columns, const BootLoaderFaults& faults, QObject* parent)
    : QObject(parent)
    , m_Decoder(rows, columns)
    , m_Faults(faults)
{
    m_SettleTimer.setSingleShot(true);
    m_SettleTimer.setInterval(400);
    connect(&m_SettleTimer, &QTimer::timeout, this, &PanelController::settle);

    // After a length error the rest of the packet, as its length byte tells it,
    // is dropped; a quiet line ends the dropping early if the length was garbage.
    m_QuietTimer.setSingleShot(true);
    m_QuietTimer.setInterval(500);
    connect(&m_QuietTimer, &QTimer::timeout, this, [this] {
        if (m_BootState == bootDiscard)
            m_BootState = bootHeader;
    });
}

void PanelController::setSettleTime(int ms)
{
    m_SettleTimer.setInterval(ms);
}

PanelController::eMode PanelController::mode() const
{
    return m_Mode;
}

bool PanelController::hasPendingImage() const
{
    return m_Blocks > 0;
}

QByteArray PanelController::lastImage() const
{
    return m_LastImage;
}

const DeviceMemory& PanelController::memory() const
{
    return m_Memory;
}

void PanelController::receive(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (m_Mode == modePanel)
            receivePanelByte(quint8(c));
        else
            receiveBootByte(quint8(c));
    }
}

void PanelController::receivePanelByte(quint8 b)
{
    m_SettleTimer.start();
    if (m_Frame.isEmpty()) {
        switch (b) {
        case 0x01:
        case 0x02:
        case 0x03:
        case 0x64:
            m_Frame.append(char(b));
            return;
        case 0x04:
            finishImage();
            enterBootLoader(QStringLiteral("BOOT BYTE"));
            return;
        default:
            emit line(QStringLiteral("JUNK %1").arg(hex2(b)));
            return;
        }
    }
    m_Frame.append(char(b));
    if (m_Frame.size() == 4 || m_Frame.size() == 4 + blockSize)
        handleFrame();
}

void PanelController::handleFrame()
{
    const quint8 op = quint8(m_Frame.at(0));
    const bool plain = m_Frame.at(1) == 0 && m_Frame.at(2) == 0;
    if (op == 0x03 && plain) {
        if (m_Frame.size() < 4 + blockSize)
            return;
        const int n = quint8(m_Frame.at(3));
        QString text = QStringLiteral("BLOCK %1").arg(n);
        if (n != m_Blocks % 256)
            text += QStringLiteral(" EXPECTED %1").arg(m_Blocks % 256);
        m_Image += m_Frame.mid(4);
        ++m_Blocks;
        m_Frame.clear();
        emit line(text);
        return;
    }

    const QByteArray frame = m_Frame;
    m_Frame.clear();
    finishImage();
    if (!plain || (op != 0x03 && frame.at(3) != 0)) {
        emit line(QStringLiteral("UNKNOWN %1").arg(QString::fromLatin1(frame.toHex(' ').toUpper())));
        return;
    }
    switch (op) {
    case 0x01:
        emit line(QStringLiteral("RESET"));
        break;
    case 0x02:
        emit line(QStringLiteral("NEXT"));
        break;
    case 0x64:
        enterBootLoader(QStringLiteral("BOOT"));
        break;
    default:
        break;
    }
}

void PanelController::finishImage()
{
    if (m_Blocks == 0)
        return;
    const QStringList lines = m_Decoder.decode(m_Image, m_Blocks);
    m_LastImage = m_Image;
    m_Image.clear();
    m_Blocks = 0;
    for (const QString& text : lines)
        emit line(text);
    emit imageComplete();
}

void PanelController::settle()
{
    if (!m_Frame.isEmpty()) {
        emit line(QStringLiteral("PARTIAL %1").arg(QString::fromLatin1(m_Frame.left(8).toHex(' ').toUpper())));
        m_Frame.clear();
    }
    finishImage();
}

void PanelController::enterBootLoader(const QString& how)
{
    m_SettleTimer.stop();
    m_Mode = modeBootLoader;
    m_BootState = bootHeader;
    m_Packets = 0;
    emit line(how);
}

void PanelController::receiveBootByte(quint8 b)
{
    switch (m_BootState) {
    case bootHeader:
        if (b == 0x80) {
            m_BootState = bootLength;
        } else {
            emit line(QStringLiteral("HEADER %1 ANSWER 51").arg(hex2(b)));
            emit answer(QByteArray(1, char(0x51)), 0);
        }
        break;
    case bootLength:
        if (b == 0 || b > maxPayload) {
            const quint8 code = b == 0 ? 0x53 : 0x54;
            emit line(QStringLiteral("LENGTH %1 ANSWER %2").arg(b).arg(hex2(code)));
            emit answer(QByteArray(1, char(code)), 0);
            m_BootState = bootDiscard;
            m_Discard = b + 2;
            m_QuietTimer.start();
        } else {
            m_Length = b;
            m_Payload.clear();
            m_BootState = bootPayload;
        }
        break;
    case bootPayload:
        m_Payload.append(char(b));
        if (m_Payload.size() == m_Length)
            m_BootState = bootChecksumLow;
        break;
    case bootChecksumLow:
        m_Checksum = b;
        m_BootState = bootChecksumHigh;
        break;
    case bootChecksumHigh:
        m_Checksum |= quint16(b) << 8;
        m_BootState = bootHeader;
        handlePacket();
        break;
    case bootDiscard:
        if (--m_Discard > 0) {
            m_QuietTimer.start();
        } else {
            m_QuietTimer.stop();
            m_BootState = bootHeader;
        }
        break;
    }
}

void PanelController::handlePacket()
{
    const int n = ++m_Packets;
    const quint8 cmd = quint8(m_Payload.at(0));
    QString text = QStringLiteral("PACKET %1 CMD %2").arg(n).arg(hex2(cmd));

    if (ccitt(m_Payload) != m_Checksum) {
        reply(text + QStringLiteral(" CRCERROR"), 0x52);
        return;
    }
    if (m_Faults.errorAt == n) {
        reply(text + QStringLiteral(" FAULT"), m_Faults.errorCode);
        return;
    }

    switch (cmd) {
    case 0x19:
        reply(text, m_Faults.versionByte);
        break;
    case 0x15:
        m_Memory.clear();
        reply(text, 0x00);
        break;
    case 0x10: {
        if (m_Payload.size() < 5) {
            reply(text, 0x54);
            break;
        }
        const quint32 address = quint8(m_Payload.at(1)) | quint32(quint8(m_Payload.at(2))) << 8
                                | quint32(quint8(m_Payload.at(3))) << 16;
        const QByteArray data = m_Payload.mid(4);
        text += QStringLiteral(" ADDR %1 DATA %2").arg(address, 6, 16, QLatin1Char('0')).arg(data.size());
        if (address < memoryFirst || address + quint32(data.size()) - 1 > memoryLast) {
            reply(text, 0xC5);
            break;
        }
        m_Memory.store(address, data);
        reply(text, 0x00);
        break;
    }
    case 0x1C:
        reply(text, 0x55);
        m_Mode = modePanel;
        emit line(QStringLiteral("PANEL"));
        emit jumped();
        break;
    default:
        reply(text, 0xC6);
        break;
    }
}

void PanelController::reply(QString text, quint8 code)
{
    const int n = m_Packets;
    text += QStringLiteral(" ANSWER ");
    if (m_Faults.noAnswerAt == n) {
        emit line(text + QStringLiteral("NONE"));
    } else {
        const int delay = (m_Faults.slowAt == 0 || m_Faults.slowAt == n) ? m_Faults.slowMs : 0;
        text += hex2(code);
        if (delay > 0)
            text += QStringLiteral(" DELAY %1").arg(delay);
        if (m_Faults.splitAt == n) {
            text += QStringLiteral(" SPLIT %1").arg(hex2(m_Faults.splitByte));
            emit line(text);
            if (m_Faults.splitMs > 0) {
                emit answer(QByteArray(1, char(m_Faults.splitByte)), delay);
                emit answer(QByteArray(1, char(code)), m_Faults.splitMs);
            } else {
                // Both bytes in one write, so they arrive together.
                emit answer(QByteArray(1, char(m_Faults.splitByte)) + char(code), delay);
            }
        } else {
            emit line(text);
            emit answer(QByteArray(1, char(code)), delay);
        }
    }
    if (m_Faults.dropAfter == n)
        emit dropRequested();
}
