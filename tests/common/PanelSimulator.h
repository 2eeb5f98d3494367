#ifndef PANELSIMULATOR_H
#define PANELSIMULATOR_H

#include <QObject>
#include <QProcess>
#include <QStringList>

// Where the test build put the simulator: a default argument, evaluated in the calling test, which knows it.
#ifdef PANELSIM_PATH
#define PANELSIM_PROGRAM QStringLiteral(PANELSIM_PATH)
#else
#define PANELSIM_PROGRAM QString()
#endif

// The simulated panel controller (tools/panelsim) as a child process: start() waits for the pseudo-terminal
// path it prints first, and the test gets every later output line.
class PanelSimulator : public QObject
{
    Q_OBJECT

public:
    explicit PanelSimulator(const QString& program = PANELSIM_PROGRAM) : m_Program(program) {}
    ~PanelSimulator() override { stop(); }

    // Starts with the given panelsim options; false if it did not come up in time.
    bool start(const QStringList& arguments = QStringList());
    QString devicePath() const { return m_DevicePath; }
    bool isRunning() const { return m_Process.state() != QProcess::NotRunning; }

    // Lines after the device path, in order; with --raw, the bytes of the "RX" lines.
    QStringList lines();
    QByteArray received();
    bool waitForLine(const QString& prefix, int timeoutMs = 10000);
    // With --raw: every byte the board has received so far, known to be complete because a
    // frame sent from here after them has arrived; false if it did not.
    bool receivedSoFar(QByteArray* bytes);

    // Terminates the simulator; it writes its output files first.
    void stop();

private:
    QString m_Program;
    QProcess m_Process;
    QString m_DevicePath;
    QStringList m_Lines;
};

#endif // PANELSIMULATOR_H
