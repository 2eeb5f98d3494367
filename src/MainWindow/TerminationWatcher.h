#ifndef TERMINATIONWATCHER_H
#define TERMINATIONWATCHER_H

#include <QObject>

class QSocketNotifier;

// Turns the system's requests to stop (SIGTERM at logging out or shutting down, SIGHUP when the terminal
// goes, SIGINT from Ctrl+C there) into a signal of the event loop, so that the program can keep what it
// must before it goes. A second request ends the program at once.
class TerminationWatcher : public QObject
{
    Q_OBJECT

public:
    // The one watcher of the program, made on first use.
    static TerminationWatcher* instance();
    // Ends the program as the request would have without a watcher.
    [[noreturn]] static void terminate(int signal);

signals:
    void terminated(int signal);

private:
    explicit TerminationWatcher(QObject* parent);
    static void handle(int signal);
    void readPipe();

    QSocketNotifier* m_pNotifier = nullptr;
};

#endif // TERMINATIONWATCHER_H
