#include "MspFlasher/MspFlashRun.h"

#include "MspFlasher/MspFlasher_FR5994.h"

#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QSerialPort>
#include <QSet>
#include <QThread>
#include <QWaitCondition>

#include <memory>

namespace {

const unsigned long settleMs = 100;
const int writeTimeoutMs = 5000;

QMutex& portsMutex()
{
    static QMutex mutex;
    return mutex;
}

QSet<QString>& portsInUse()
{
    static QSet<QString> ports;
    return ports;
}

// Holds a port name in the list of ports in use for as long as it lives.
class PortClaim
{
public:
    explicit PortClaim(const QString& name) : m_Name(name)
    {
        const QMutexLocker locker(&portsMutex());
        portsInUse().insert(m_Name);
    }
    ~PortClaim()
    {
        const QMutexLocker locker(&portsMutex());
        portsInUse().remove(m_Name);
    }
    PortClaim(const PortClaim&) = delete;
    PortClaim& operator=(const PortClaim&) = delete;

private:
    QString m_Name;
};

} // namespace

MspFlashRun::MspFlashRun(QObject* parent)
    : QObject(parent)
{
}

MspFlashRun::~MspFlashRun()
{
    if (m_pThread) {
        stop();
        m_pThread->wait();
        delete m_pThread;
    }
}

bool MspFlashRun::start(const SerialPortSettings& port, const QByteArray& flashCommand, const QList<sMemory>& image)
{
    return launch([=] { run(port, flashCommand, image); });
}

bool MspFlashRun::launch(std::function<void()> steps)
{
    if (m_Running)
        return false;
    Q_ASSERT_X(!m_pThread, "MspFlashRun::launch", "!m_pThread");
    m_Running = true;
    m_StopRequested = false;
    m_pThread = QThread::create(std::move(steps));
    m_pThread->start();
    return true;
}

bool MspFlashRun::isRunning() const
{
    return m_Running;
}

void MspFlashRun::stop()
{
    m_StopRequested = true;
    const QMutexLocker locker(&m_PauseMutex);
    m_PauseOver.wakeAll();
}

bool MspFlashRun::isPortInUse(const QString& portName)
{
    // "/dev/ttyS0", "ttyS0" and a link to it name the same port.
    const QString name = SerialPortSettings::device(portName);
    const QMutexLocker locker(&portsMutex());
    return portsInUse().contains(name);
}

void MspFlashRun::pause(unsigned long ms)
{
    // A stop ends the pause at once; the flag is read under the lock the stop takes, so no wake is missed.
    const QMutexLocker locker(&m_PauseMutex);
    if (!m_StopRequested)
        m_PauseOver.wait(&m_PauseMutex, ms);
}

void MspFlashRun::report(const QString& text)
{
    QMetaObject::invokeMethod(this, [this, text] { emit line(text); }, Qt::QueuedConnection);
}

void MspFlashRun::end(bool ok)
{
    QMetaObject::invokeMethod(this, [this, ok] {
        // The thread only has its return left to do.
        m_pThread->wait();
        delete m_pThread;
        m_pThread = nullptr;
        m_Running = false;
        emit finished(ok);
    }, Qt::QueuedConnection);
}

void MspFlashRun::run(const SerialPortSettings& settings, const QByteArray& flashCommand, const QList<sMemory>& image)
{
    QSerialPort port;
    settings.applyTo(port);
    const QString portName = port.portName();
    // Reported as the system locates it, as the rest of the program names ports.
    const QString location = SerialPortSettings::systemLocation(portName);
    const QString baudRate = QString::number(port.baudRate());

    MspFlasher_FR5994 flasher(&port);
    flasher.setStopFlag(&m_StopRequested);
    // Both emitted on this thread; the run passes them on to its owner's.
    connect(&flasher, &MspFlasher::message, [this](const QString& text) { report(text); });
    connect(&flasher, &MspFlasher::progress, [this](int percent) {
        QMetaObject::invokeMethod(this, [this, percent] { emit progress(percent); }, Qt::QueuedConnection);
    });
    connect(&flasher, &MspFlasher::dataPackets, [this](int sent, int total) {
        QMetaObject::invokeMethod(this, [this, sent, total] { emit dataPackets(sent, total); }, Qt::QueuedConnection);
    });
    connect(&flasher, &MspFlasher::packetSent, [this](const QByteArray& bytes) {
        QMetaObject::invokeMethod(this, [this, bytes] { emit packetSent(bytes); }, Qt::QueuedConnection);
    });

    bool ok = true;
    std::unique_ptr<PortClaim> claim;
    if (SerialPortSettings::open(port, QIODevice::ReadWrite)) {
        claim.reset(new PortClaim(SerialPortSettings::device(portName)));
        report(QStringLiteral("Open serial port %1 (%2)").arg(location, baudRate));
    } else {
        report(QStringLiteral("Cannot open serial port %1 (%2)!").arg(location, baudRate));
        // Held by another program, missing, or not ours: the user is to know which.
        report(SerialPortSettings::openFailure(port));
        ok = false;
    }

    // Whether the step is to be taken: nothing has failed and nobody has asked to stop.
    auto proceed = [&](const QString& step) {
        if (ok && m_StopRequested) {
            report(QStringLiteral("Stopped before %1").arg(step));
            ok = false;
        }
        return ok;
    };

    if (proceed(QStringLiteral("Enter MSP UART flasher"))) {
        // The editor's 0x04 is the panel firmware's one-byte "start the boot loader": taken on its own,
        // not framed like the firmware's 4-byte commands, and nothing answers it.
        port.write(flashCommand);
        // Out on the line before the pause, so the boot loader gets its time to start.
        port.flush();
        if (port.bytesToWrite() > 0)
            port.waitForBytesWritten(writeTimeoutMs);
        report(QStringLiteral("Enter MSP UART flasher"));
        pause(settleMs);
    }

    flasher.setMemoryData(image);

    // A boot loader step: its line, and the line that tells it failed.
    auto step = [&](const QString& name, const QString& failure, const std::function<bool()>& action) {
        if (!proceed(name))
            return;
        report(name);
        if (!action()) {
            report(failure);
            ok = false;
        }
    };
    step(QStringLiteral("Verify device"), QStringLiteral("Invalid device version!"),
         [&] { return flasher.verifyDevice(); });
    step(QStringLiteral("Erase device"), QStringLiteral("Cannot erase device!"), [&] { return flasher.eraseDevice(); });
    step(QStringLiteral("Write application code"), QStringLiteral("Cannot flash device!"),
         [&] { return flasher.flashDevice(); });

    if (proceed(QStringLiteral("Jump to the application"))) {
        report(QStringLiteral("Jump to the application"));
        flasher.jumpToApplication();
    }

    if (port.isOpen()) {
        pause(settleMs);
        report(QStringLiteral("Close serial port %1").arg(location));
        port.close();
    }
    claim.reset();

    report(QStringLiteral("Finished"));
    end(ok);
}
