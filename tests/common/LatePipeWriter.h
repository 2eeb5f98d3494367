#ifndef LATEPIPEWRITER_H
#define LATEPIPEWRITER_H

#include <QByteArray>
#include <QString>

#include <future>
#include <thread>

// A writer that comes to a pipe late: two seconds on, and only while a reader has it open, it writes its
// bytes and closes, again and again until it goes. A reader that waits for a writer thus ends, with the
// bytes, instead of hanging the test; one that does not wait is done long before and gets none.
class LatePipeWriter
{
public:
    LatePipeWriter(const QString& fifo, const QByteArray& bytes);
    ~LatePipeWriter();
    LatePipeWriter(const LatePipeWriter&) = delete;
    LatePipeWriter& operator=(const LatePipeWriter&) = delete;

private:
    std::promise<void> m_Gone;
    std::thread m_Thread;
};

#endif // LATEPIPEWRITER_H
