#ifndef MSPFLASHER_H
#define MSPFLASHER_H

#include "MspFlasher/TiTxtReader.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <atomic>
#include <cstdint>

class QSerialPort;
class QTextStream;

typedef struct sBSLPayload
{
    uint8_t ui8Command;
    uint8_t ui8Addr_L;
    uint8_t ui8Addr_M;
    uint8_t ui8Addr_H;
    const uint8_t* ui8pData; // not owned
} tBSLPayload;

typedef struct sBSLPacket
{
    uint8_t ui8Header;
    uint8_t ui8Length;
    tBSLPayload tPayload;
    uint16_t ui16Checksum;
} tBSLPacket;

// Host side of the MSPBoot UART boot loader: packet framing, answers, error
// texts, and the TI-TXT image reader. The device-specific sequence comes from
// a subclass. It waits for answers by blocking the calling thread, which must
// be the port's; the windows run it on a thread of their own (MspFlashRun).
class MspFlasher : public QObject
{
    Q_OBJECT

public:
    explicit MspFlasher(QSerialPort* port);

    bool readMemoryFile(QTextStream& stream);
    // Where the last readMemoryFile() stopped: line 0 and no text after a good read.
    int errorLine() const;
    QString errorString() const;
    const QList<sMemory>& memoryData() const;
    void setMemoryData(const QList<sMemory>& memory);

    // Long operations give up between packets once the flag is set; null: never.
    void setStopFlag(const std::atomic<bool>* stop);
    bool isStopRequested() const;

    virtual bool verifyDevice() = 0;
    virtual bool eraseDevice() = 0;
    virtual bool flashDevice() = 0;
    virtual bool jumpToApplication() = 0;

    uint16_t packetCRC(tBSLPacket tPacket);

    // The largest data block one packet can carry: the length byte also counts
    // the command and three address bytes.
    static constexpr uint32_t maxDataLength = 251;

signals:
    void progress(int percent);
    // The image's data packets, counted as they are answered (the CRC packet not among them).
    void dataPackets(int sent, int total);
    // Every packet as it goes out on the line.
    void packetSent(const QByteArray& bytes);
    void message(const QString& text);

protected:
    char getResponse(int timeOut);
    void sendPacket(tBSLPacket tPacket);
    char sendCommand(uint8_t cmd);
    char sendDataArray(uint32_t addr, const uint8_t* data, uint32_t len);
    void sendSingleByte(char c);
    void showError(char code);

    QList<sMemory> m_MemoryData;
    QSerialPort* m_pSerialPort;
    QByteArray m_Response;

private:
    void discardReceived();
    void writeOut();

    // The last answer wait ended early, on a line in error or on a stop.
    bool m_LineFailed = false;
    bool m_WaitStopped = false;
    int m_ErrorLine = 0;
    QString m_ErrorString;
    const std::atomic<bool>* m_pStop = nullptr;
};

#endif // MSPFLASHER_H
