#include "Helper/SignalWatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Written by the handler, the only thing a signal handler may safely do here.
int pipeFds[2] = { -1, -1 };

} // namespace

SignalWatcher::SignalWatcher(std::initializer_list<int> watched, QObject* parent)
    : QObject(parent)
{
    Q_ASSERT_X(pipeFds[0] < 0, "SignalWatcher", "one watcher at a time");
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_pNotifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &SignalWatcher::readPipe);

    struct sigaction action = {};
    action.sa_handler = &SignalWatcher::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signal : watched) {
        struct sigaction before = {};
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN
            && ::sigaction(signal, &action, nullptr) == 0)
            m_Watched.append(signal);
    }
}

SignalWatcher::~SignalWatcher()
{
    if (!m_pNotifier)
        return;
    for (const int signal : qAsConst(m_Watched))
        ::signal(signal, SIG_DFL);
    delete m_pNotifier;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void SignalWatcher::terminate(int signal)
{
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    std::_Exit(128 + signal);
}

void SignalWatcher::handle(int signal)
{
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
}

void SignalWatcher::readPipe()
{
    unsigned char byte = 0;
    int signal = 0;
    while (::read(pipeFds[0], &byte, 1) > 0)
        signal = byte;
    if (signal)
        emit caught(signal);
}
