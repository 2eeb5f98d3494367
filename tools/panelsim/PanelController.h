#ifndef PANELCONTROLLER_H
#define PANELCONTROLLER_H

#include "DeviceMemory.h"
#include "ProgramImage.h"

#include <QObject>
#include <QTimer>

// Ways the simulated boot loader can misbehave; packet numbers count from 1
// at each entry into the boot loader, 0 switches a fault off.
struct BootLoaderFaults
{
    quint8 versionByte = 0xA1;
    int errorAt = 0;
    quint8 errorCode = 0x52;
    int noAnswerAt = 0;
    int slowMs = 0;
    int slowAt = 0;         // 0: every answer is slow
    int splitAt = 0;
    quint8 splitByte = 0x00;
    int splitMs = 100;
    int dropAfter = 0;
};

// The panel controller as seen from the serial line: the panel firmware that
// takes command frames and program blocks, and the boot loader that answers
// packets byte by byte.
class PanelController : public QObject
{
    Q_OBJECT

public:
    enum eMode { modePanel, modeBootLoader };

    PanelController(int rows, int columns, const BootLoaderFaults& faults, QObject* parent = nullptr);

    void setSettleTime(int ms);
    eMode mode() const;

    bool hasPendingImage() const;
    QByteArray lastImage() const;
    const DeviceMemory& memory() const;

public slots:
    void receive(const QByteArray& bytes);
    void finishImage();

signals:
    void line(const QString& text);
    void answer(const QByteArray& bytes, int delayMs);
    void imageComplete();
    void jumped();
    void dropRequested();

private:
    enum eBootState { bootHeader, bootLength, bootPayload, bootChecksumLow, bootChecksumHigh, bootDiscard };

    void receivePanelByte(quint8 b);
    void handleFrame();
    void enterBootLoader(const QString& how);
    void receiveBootByte(quint8 b);
    void handlePacket();
    void reply(QString text, quint8 code);
    void settle();

    ProgramImage m_Decoder;
    BootLoaderFaults m_Faults;
    QTimer m_SettleTimer;
    QTimer m_QuietTimer;
    eMode m_Mode = modePanel;

    QByteArray m_Frame;
    QByteArray m_Image;
    QByteArray m_LastImage;
    int m_Blocks = 0;

    eBootState m_BootState = bootHeader;
    int m_Packets = 0;
    int m_Length = 0;
    int m_Discard = 0;
    QByteArray m_Payload;
    quint16 m_Checksum = 0;
    DeviceMemory m_Memory;
};

#endif // PANELCONTROLLER_H
