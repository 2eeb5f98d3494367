#ifndef MSPFLASHRUN_H
#define MSPFLASHRUN_H

#include "MspFlasher/TiTxtReader.h"
#include "SerialPort/SerialPortSettings.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QWaitCondition>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

class QThread;

// One firmware flashing run of the MSP430FR5994: the entry byte, verify, erase,
// write and jump, with its report lines and progress. The steps run on a thread
// of their own, over a port that the run opens there from the given settings.
// Lines, progress and the end arrive as signals in the thread that owns the run
// object, in the order they happened.
class MspFlashRun : public QObject
{
    Q_OBJECT

public:
    explicit MspFlashRun(QObject* parent = nullptr);
    // Stops a run that is still going and waits for its thread.
    ~MspFlashRun() override;

    // Opens the port, sends the flash command and writes the image, which the caller has
    // read and checked (FirmwareImage) before, so that a bad file opens no port.
    // False, and nothing happens, while a run is in progress.
    bool start(const SerialPortSettings& port, const QByteArray& flashCommand, const QList<sMemory>& image);

    // From start() until finished() has been emitted.
    bool isRunning() const;
    // Asks the run to end before its next packet or step; it still closes the port and
    // reports where it stopped. May be called from any thread.
    void stop();

    // Whether a run holds the port open, under whatever name: as QSerialPort::portName() or setPortName()
    // takes it, or a link to it.
    static bool isPortInUse(const QString& portName);

signals:
    void line(const QString& text);
    void progress(int percent);
    void dataPackets(int sent, int total);
    void packetSent(const QByteArray& bytes);
    void finished(bool ok);

private:
    bool launch(std::function<void()> steps);
    void run(const SerialPortSettings& settings, const QByteArray& flashCommand, const QList<sMemory>& image);
    // The settling pauses of the run, cut short by stop().
    void pause(unsigned long ms);
    void report(const QString& text);
    void end(bool ok);

    QThread* m_pThread = nullptr;
    bool m_Running = false;
    std::atomic<bool> m_StopRequested { false };
    QMutex m_PauseMutex;
    QWaitCondition m_PauseOver;
};

#endif // MSPFLASHRUN_H
