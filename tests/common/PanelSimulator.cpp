#include "PanelSimulator.h"

#include <QTest>

PanelSimulator::PanelSimulator(const QString& program, QObject* parent)
    : QObject(parent)
    , m_Program(program)
{
    connect(&m_Process, &QProcess::readyReadStandardOutput, this, &PanelSimulator::collect);
    connect(&m_Process, &QProcess::readyReadStandardError, this,
            [this] { m_Errors += m_Process.readAllStandardError(); });
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
    m_Errors.clear();
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

QStringList PanelSimulator::takeLines()
{
    collect();
    QStringList taken;
    taken.swap(m_Lines);
    return taken;
}

bool PanelSimulator::waitForLine(const QString& prefix, int timeoutMs, QString* line)
{
    QString found;
    const bool ok = QTest::qWaitFor([&] {
        collect();
        for (const QString& text : qAsConst(m_Lines)) {
            if (text.startsWith(prefix)) {
                found = text;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    if (line)
        *line = found;
    return ok;
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

bool PanelSimulator::waitForExit(int timeoutMs)
{
    const bool done = !isRunning() || m_Process.waitForFinished(timeoutMs);
    collect();
    return done;
}

QString PanelSimulator::errorOutput() const
{
    return QString::fromLocal8Bit(m_Errors);
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
