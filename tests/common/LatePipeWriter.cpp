#include "LatePipeWriter.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

LatePipeWriter::LatePipeWriter(const QString& fifo, const QByteArray& bytes)
{
    m_Thread = std::thread([name = QFile::encodeName(fifo), bytes, gone = m_Gone.get_future()] {
        if (gone.wait_for(std::chrono::seconds(2)) == std::future_status::ready)
            return;
        do {
            // Without waiting: with no reader the open fails.
            const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                const ssize_t written = ::write(fd, bytes.constData(), size_t(bytes.size()));
                Q_UNUSED(written)
                ::close(fd);
            }
        } while (gone.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready);
    });
}

LatePipeWriter::~LatePipeWriter()
{
    m_Gone.set_value();
    m_Thread.join();
}
