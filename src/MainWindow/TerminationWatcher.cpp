#include "MainWindow/TerminationWatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Written by the handler, the only thing a signal handler may safely do here.
int pipeFds[2] = { -1, -1 };
constexpr int watched[] = { SIGTERM, SIGHUP, SIGINT };

} // namespace

TerminationWatcher* TerminationWatcher::instance()
{
    static TerminationWatcher* watcher = new TerminationWatcher(QCoreApplication::instance());
    return watcher;
}

TerminationWatcher::TerminationWatcher(QObject* parent)
    : QObject(parent)
{
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_pNotifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &TerminationWatcher::readPipe);

    struct sigaction action = {};
    action.sa_handler = &TerminationWatcher::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signal : watched) {
        struct sigaction before = {};
        // One the program was started to ignore (nohup) stays ignored.
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

void TerminationWatcher::handle(int signal)
{
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
}

void TerminationWatcher::readPipe()
{
    unsigned char byte = 0;
    int signal = 0;
    while (::read(pipeFds[0], &byte, 1) > 0)
        signal = byte;
    if (signal)
        emit terminated(signal);
}

void TerminationWatcher::terminate(int signal)
{
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    std::_Exit(128 + signal);
}
