#ifndef SIGNALWATCHER_H
#define SIGNALWATCHER_H

#include <QObject>

#include <initializer_list>

class QSocketNotifier;

// Turns the system's requests to stop (Ctrl+C, SIGTERM at logging out, SIGHUP when the terminal goes) into a
// signal of the event loop, so that the program can stop cleanly or keep what it must first. A second request
// ends the program the usual way; a request the program was started to ignore (nohup) stays ignored.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    SignalWatcher(std::initializer_list<int> watched, QObject* parent = nullptr);
    ~SignalWatcher() override;

    // Ends the program as the request would have without a watcher.
    [[noreturn]] static void terminate(int signal);

signals:
    void caught(int signal);

private:
    static void handle(int signal);
    void readPipe();

    QSocketNotifier* m_pNotifier = nullptr;
    QList<int> m_Watched;
};

#endif // SIGNALWATCHER_H
