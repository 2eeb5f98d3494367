#ifndef INTERRUPTWATCHER_H
#define INTERRUPTWATCHER_H

#include <QObject>

class QSocketNotifier;

// Turns Ctrl+C (SIGINT) into a signal of the event loop, so that the work can
// stop cleanly. A second Ctrl+C ends the program the usual way.
class InterruptWatcher : public QObject
{
    Q_OBJECT

public:
    explicit InterruptWatcher(QObject* parent = nullptr);
    ~InterruptWatcher() override;

signals:
    void interrupted();

private:
    static void handle(int signal);
    void readPipe();

    QSocketNotifier* m_pNotifier = nullptr;
};

#endif // INTERRUPTWATCHER_H
