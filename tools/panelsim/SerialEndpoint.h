#ifndef SERIALENDPOINT_H
#define SERIALENDPOINT_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

class QSocketNotifier;

// The simulator's end of the serial line: the master side of a fresh
// pseudo-terminal, or a device opened by name. Output goes out in order,
// each piece after its own delay.
class SerialEndpoint : public QObject
{
    Q_OBJECT

public:
    explicit SerialEndpoint(QObject* parent = nullptr);
    ~SerialEndpoint() override;

    bool openPseudoTerminal(QString* error);
    bool openDevice(const QString& path, QString* error);
    QString devicePath() const;
    bool isOpen() const;

public slots:
    void send(const QByteArray& bytes, int delayMs);
    void dropWhenSent();

signals:
    void received(const QByteArray& bytes);
    void dropped();

private:
    struct Pending
    {
        QByteArray bytes;
        int delayMs;
    };

    bool watch(QString* error);
    void readAvailable();
    void sendNext();
    void writeAll(const QByteArray& bytes);
    void drop();

    int m_Fd = -1;
    int m_SlaveFd = -1;
    QString m_Path;
    QSocketNotifier* m_pNotifier = nullptr;
    QList<Pending> m_Queue;
    QTimer m_SendTimer;
    bool m_DropWhenSent = false;
};

#endif // SERIALENDPOINT_H
