#include "PanelSimulator.h"

#include <QRegularExpression>
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
