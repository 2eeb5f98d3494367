#include "PanelSimulator.h"

#include <QRegularExpression>
#include <QSerialPort>
#include <QTest>

bool PanelSimulator::start(const QStringList& arguments)
{
    if (m_Program.isEmpty() || isRunning())
        return false;
    m_Lines.clear();
    m_Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_Process.start(m_Program, arguments);
    if (!QTest::qWaitFor([this] { return m_Process.canReadLine() || !isRunning(); }, 10000) || !isRunning())
        return false;
    m_DevicePath = QString::fromUtf8(m_Process.readLine()).trimmed();
    return true;
}

QStringList PanelSimulator::lines()
{
    while (m_Process.canReadLine())
        m_Lines << QString::fromUtf8(m_Process.readLine()).chopped(1);
    return m_Lines;
}

QByteArray PanelSimulator::received()
{
    QByteArray bytes;
    for (const QString& line : lines().filter(QRegularExpression("^RX ")))
        bytes += QByteArray::fromHex(line.mid(3).toLatin1());
    return bytes;
}

bool PanelSimulator::waitForLine(const QString& prefix, int timeoutMs)
{
    return QTest::qWaitFor([&] {
        const QStringList all = lines();
        return std::any_of(all.cbegin(), all.cend(), [&](const QString& line) { return line.startsWith(prefix); });
    }, timeoutMs);
}

bool PanelSimulator::receivedSoFar(QByteArray* bytes)
{
    // A reset frame, which leaves any state as it is.
    const QByteArray marker("\x01\x00\x00\x00", 4);
    QSerialPort port(m_DevicePath);
    if (!port.open(QIODevice::ReadWrite) || port.write(marker) != marker.size())
        return false;
    port.flush();
    if ((port.bytesToWrite() > 0 && !port.waitForBytesWritten(5000))
        || !QTest::qWaitFor([&] { return received().endsWith(marker); }, 10000))
        return false;
    *bytes = received().chopped(marker.size());
    return true;
}

void PanelSimulator::stop()
{
    if (isRunning()) {
        m_Process.terminate();
        if (!m_Process.waitForFinished(5000))
            m_Process.kill();
        m_Process.waitForFinished(5000);
    }
    lines();
}
