#include "PanelSimulator.h"

#include <QTest>

PanelSimulator::PanelSimulator(const QString& program, QObject* parent)
    : QObject(parent)
    , m_Program(program)
{
    m_Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&m_Process, &QProcess::readyReadStandardOutput, this, &PanelSimulator::collect);
}

PanelSimulator::~PanelSimulator()
{
    stop();
}

bool PanelSimulator::start(const QStringList& arguments, int timeoutMs)
{
    if (m_Program.isEmpty() || isRunning())
        return false;
    m_DevicePath.clear();
    m_Partial.clear();
    m_Lines.clear();
    m_Process.start(m_Program, arguments);
    if (!m_Process.waitForStarted(timeoutMs))
        return false;
    return QTest::qWaitFor([this] { collect(); return !m_DevicePath.isEmpty() || !isRunning(); }, timeoutMs)
        && !m_DevicePath.isEmpty();
}

QString PanelSimulator::devicePath() const
{
    return m_DevicePath;
}

bool PanelSimulator::isRunning() const
{
    return m_Process.state() != QProcess::NotRunning;
}

QStringList PanelSimulator::lines()
{
    collect();
    return m_Lines;
}

QByteArray PanelSimulator::received()
{
    QByteArray bytes;
    for (const QString& line : lines()) {
        if (line.startsWith(QLatin1String("RX ")))
            bytes += QByteArray::fromHex(line.mid(3).toLatin1());
    }
    return bytes;
}

QStringList PanelSimulator::events()
{
    QStringList events;
    for (const QString& line : lines()) {
        if (!line.startsWith(QLatin1String("RX ")))
            events << line;
    }
    return events;
}

bool PanelSimulator::waitForLine(const QString& prefix, int timeoutMs)
{
    return QTest::qWaitFor([&] {
        const QStringList all = lines();
        return std::any_of(all.cbegin(), all.cend(), [&](const QString& line) { return line.startsWith(prefix); });
    }, timeoutMs);
}

void PanelSimulator::stop(int timeoutMs)
{
    if (isRunning()) {
        m_Process.terminate();
        if (!m_Process.waitForFinished(timeoutMs)) {
            m_Process.kill();
            m_Process.waitForFinished(timeoutMs);
        }
    }
    collect();
}

void PanelSimulator::collect()
{
    m_Partial += m_Process.readAllStandardOutput();
    int newline;
    while ((newline = m_Partial.indexOf('\n')) >= 0) {
        const QString text = QString::fromUtf8(m_Partial.left(newline));
        m_Partial.remove(0, newline + 1);
        if (m_DevicePath.isEmpty())
            m_DevicePath = text;
        else
            m_Lines << text;
    }
}
