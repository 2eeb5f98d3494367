#include "SerialEndpoint.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

static const int dropDelay = 200;

static QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
}

static bool makeRaw(int fd)
{
    termios tio;
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    cfsetispeed(&tio, B57600);
    cfsetospeed(&tio, B57600);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

SerialEndpoint::SerialEndpoint(QObject* parent)
    : QObject(parent)
{
    m_SendTimer.setSingleShot(true);
    connect(&m_SendTimer, &QTimer::timeout, this, [this] {
        if (m_Queue.isEmpty())
            return;
        m_Queue.first().delayMs = 0;
        sendNext();
    });
}

SerialEndpoint::~SerialEndpoint()
{
    if (m_SlaveFd >= 0)
        ::close(m_SlaveFd);
    if (m_Fd >= 0)
        ::close(m_Fd);
}

bool SerialEndpoint::openPseudoTerminal(QString* error)
{
    m_Fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_Fd < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    if (grantpt(m_Fd) != 0 || unlockpt(m_Fd) != 0) {
        *error = systemError("grantpt/unlockpt");
        return false;
    }
    const char* name = ptsname(m_Fd);
    if (!name) {
        *error = systemError("ptsname");
        return false;
    }
    m_Path = QString::fromLocal8Bit(name);

    // Holding the slave open keeps the terminal alive while the client opens
    // and closes the port between commands.
    m_SlaveFd = ::open(name, O_RDWR | O_NOCTTY);
    if (m_SlaveFd < 0 || !makeRaw(m_SlaveFd)) {
        *error = systemError("slave");
        return false;
    }
    return watch(error);
}

bool SerialEndpoint::openDevice(const QString& path, QString* error)
{
    m_Fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (m_Fd < 0) {
        *error = systemError("open");
        return false;
    }
    m_Path = path;
    if (isatty(m_Fd) && !makeRaw(m_Fd)) {
        *error = systemError("tcsetattr");
        return false;
    }
    return watch(error);
}

bool SerialEndpoint::watch(QString* error)
{
    const int flags = fcntl(m_Fd, F_GETFL);
    if (flags < 0 || fcntl(m_Fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        *error = systemError("fcntl");
        return false;
    }
    m_pNotifier = new QSocketNotifier(m_Fd, QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &SerialEndpoint::readAvailable);
    return true;
}

QString SerialEndpoint::devicePath() const
{
    return m_Path;
}

bool SerialEndpoint::isOpen() const
{
    return m_Fd >= 0;
}

void SerialEndpoint::send(const QByteArray& bytes, int delayMs)
{
    if (m_Fd < 0)
        return;
    m_Queue.append({ bytes, delayMs });
    if (m_Queue.size() == 1 && !m_SendTimer.isActive())
        sendNext();
}

void SerialEndpoint::dropWhenSent()
{
    // Nothing more is heard; what is already answered still reaches the host,
    // since a hangup would flush it from the line.
    m_DropWhenSent = true;
    m_pNotifier->setEnabled(false);
    if (m_Queue.isEmpty() && !m_SendTimer.isActive())
        QTimer::singleShot(dropDelay, this, &SerialEndpoint::drop);
}

void SerialEndpoint::sendNext()
{
    // Pieces due together go out in one write, so the host reads them together.
    QByteArray due;
    while (!m_Queue.isEmpty() && m_Queue.first().delayMs <= 0)
        due += m_Queue.takeFirst().bytes;
    if (!due.isEmpty())
        writeAll(due);
    if (!m_Queue.isEmpty()) {
        m_SendTimer.start(m_Queue.first().delayMs);
        return;
    }
    if (m_DropWhenSent)
        QTimer::singleShot(dropDelay, this, &SerialEndpoint::drop);
}

void SerialEndpoint::writeAll(const QByteArray& bytes)
{
    int done = 0;
    while (m_Fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_Fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += int(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else if (n < 0 && errno == EAGAIN) {
            usleep(1000);
        }
    }
}

void SerialEndpoint::readAvailable()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_Fd, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, int(n)));
            // A host quick to send its next packet must not be heard after the drop was asked for.
            if (m_Fd < 0 || m_DropWhenSent)
                return;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        // A device at its end, or a pseudo-terminal whose other side vanished
        // (EIO): nothing more will come, so stop watching rather than spin.
        m_pNotifier->setEnabled(false);
        return;
    }
}

void SerialEndpoint::drop()
{
    if (m_Fd < 0)
        return;
    m_Queue.clear();
    m_SendTimer.stop();
    m_pNotifier->setEnabled(false);
    ::close(m_Fd);
    m_Fd = -1;
    if (m_SlaveFd >= 0) {
        ::close(m_SlaveFd);
        m_SlaveFd = -1;
    }
    emit dropped();
}
