#ifndef PANELLINK_H
#define PANELLINK_H

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QTimer>

class QSerialPort;

// The one-way line to the panel controller. Owns the port, opens it for one job
// at a time and paces the bytes with timers and the port's own signals, so the
// event loop never waits on the line.
class PanelLink : public QObject
{
    Q_OBJECT

public:
    enum ePanelCommand { cmdReset = 0x01, cmdNext = 0x02, cmdEnterBootLoader = 0x64 };
    enum eJob { jobNone, jobCommand, jobProgram };
    enum eOutcome { outcomeDone, outcomeNotOpened, outcomeWriteFailed, outcomeStopped };

    struct Result
    {
        eJob job = jobNone;
        ePanelCommand command = cmdReset; // what a jobCommand sent
        eOutcome outcome = outcomeDone;
        int blocksSent = 0; // whole 36-byte units handed to the system
        int blockCount = 0;
        QString errorText; // why, for outcomeNotOpened and outcomeWriteFailed: mostly the port's own text
    };

    static constexpr int BlockSize = 32;
    static constexpr int BlockPauseMs = 100;
    static constexpr int CommandHoldMs = 10;
    // A unit the system has not taken by then is a failed write: a block is never cut,
    // so without it a line held off by flow control could not even be stopped.
    static constexpr int WriteTimeoutMs = 3000;

    explicit PanelLink(QObject* parent = nullptr);
    ~PanelLink() override;

    QSerialPort* port() const;
    eJob job() const;
    bool isBusy() const;

    // Each returns false, and does nothing, while another job runs; otherwise finished()
    // follows, at once if the port does not open.
    bool sendCommand(ePanelCommand command);
    bool writeProgram(const QByteArray& image);

    // The 4-byte frame of a command.
    static QByteArray commandFrame(ePanelCommand command);
    // Write-block n of an image: header 03 00 00 n mod 256 and 32 image bytes, zero-filled past its end.
    static QByteArray programBlock(const QByteArray& image, int block);
    static int programBlockCount(int imageSize);

public slots:
    // Ends a program write after the block that is going out, or in the pause between two;
    // finished() follows from the event loop.
    void stop();

signals:
    // As each block starts out (done: the blocks before it) and when the last is out.
    void progress(int done, int total);
    void finished(const PanelLink::Result& result);

private:
    enum eState { stateIdle, stateSending, statePausing };

    bool start(eJob job, const QByteArray& image, int blockCount);
    void sendUnit(const QByteArray& bytes);
    void unitWritten(qint64 bytes);
    void portError();
    void next();
    void finish(eOutcome outcome, const QString& errorText = QString());

    QSerialPort* m_pPort;
    QTimer m_PauseTimer;
    QTimer m_WriteTimer;
    eState m_State = stateIdle;
    eJob m_Job = jobNone;
    QByteArray m_Image;
    QByteArray m_Command;
    ePanelCommand m_LastCommand = cmdReset;
    int m_BlockCount = 0;
    int m_BlocksSent = 0;
    qint64 m_UnitPending = 0;
    bool m_StopRequested = false;
    bool m_Failed = false;
    QString m_ErrorText;
};

Q_DECLARE_METATYPE(PanelLink::Result)

#endif // PANELLINK_H
