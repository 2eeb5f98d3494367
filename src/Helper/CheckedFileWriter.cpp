#include "Helper/CheckedFileWriter.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <csignal>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Written in pieces of this size: small enough to hold, large enough to keep system calls few.
constexpr int ChunkSize = 64 * 1024;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

CheckedFileWriter::CheckedFileWriter(const QString& fileName, QObject* parent)
    : QIODevice(parent)
    , m_FileName(fileName)
{
}

CheckedFileWriter::~CheckedFileWriter()
{
    close();
}

bool CheckedFileWriter::open(OpenMode mode)
{
    Q_ASSERT_X(!isOpen() && (mode & ReadWrite) == WriteOnly, "CheckedFileWriter::open", "written once, never read");
    m_Failed = false;
    m_Pending.clear();
    struct stat target = {};
    if (::stat(QFile::encodeName(m_FileName).constData(), &target) != 0) {
        if (errno != ENOENT) {
            setErrorString(systemReason(errno));
            return false;
        }
        m_Aside = true;
    } else if (S_ISDIR(target.st_mode)) {
        setErrorString(systemReason(EISDIR));
        return false;
    } else if (S_ISCHR(target.st_mode) || S_ISFIFO(target.st_mode)) {
        m_Aside = false;
    } else if (S_ISREG(target.st_mode)) {
        m_Aside = true;
    } else {
        setErrorString(tr("Not a regular file, a character device or a pipe"));
        return false;
    }
    if (m_Aside)
        m_pFile.reset(new QSaveFile(m_FileName));
    else
        m_pFile.reset(new QFile(m_FileName));
    if (!m_Aside && S_ISFIFO(target.st_mode) && !m_WaitForReader)
        return openPipeWithReader() && QIODevice::open(mode | Unbuffered);
    // Unbuffered: the buffer is this device's own, so that no byte waits unseen in another one.
    if (!m_pFile->open(WriteOnly | Unbuffered)) {
        setErrorString(fileReason());
        m_pFile.reset();
        return false;
    }
    return QIODevice::open(mode | Unbuffered);
}

bool CheckedFileWriter::openPipeWithReader()
{
    const int fd = ::open(QFile::encodeName(m_FileName).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    const int error = errno;
    const int flags = fd < 0 ? -1 : ::fcntl(fd, F_GETFL);
    // Writes wait for the reader again, as to any file.
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1
        || !static_cast<QFile*>(m_pFile.get())->open(fd, WriteOnly | Unbuffered, QFileDevice::AutoCloseHandle)) {
        setErrorString(fd < 0 && error == ENXIO ? tr("Nothing reads from this pipe") : systemReason(fd < 0 ? error : errno));
        if (fd >= 0)
            ::close(fd);
        m_pFile.reset();
        return false;
    }
    return true;
}

bool CheckedFileWriter::commit()
{
    Q_ASSERT_X(isOpen() && m_pFile, "CheckedFileWriter::commit", "open");
    bool ok = !m_Failed && drain();
    if (ok && (!m_pFile->flush() || m_pFile->error() != QFileDevice::NoError))
        ok = fail(fileReason());
    // Space that a file system hands out late is refused here at the latest.
    if (ok && m_Aside && ::fsync(m_pFile->handle()) != 0 && errno != EINVAL)
        ok = fail(systemReason(errno));
    if (auto* saveFile = qobject_cast<QSaveFile*>(m_pFile.get())) {
        if (!ok)
            saveFile->cancelWriting();
        if (!saveFile->commit() && ok)
            ok = fail(fileReason());
    } else {
        m_pFile->close();
        if (ok && m_pFile->error() != QFileDevice::NoError)
            ok = fail(fileReason());
    }
    m_pFile.reset();
    const QString reason = errorString();
    QIODevice::close();
    if (!ok)
        setErrorString(reason);
    return ok;
}

void CheckedFileWriter::close()
{
    if (auto* saveFile = qobject_cast<QSaveFile*>(m_pFile.get()))
        saveFile->cancelWriting(); // its destructor then removes what was written aside
    m_pFile.reset();
    m_Pending.clear();
    if (isOpen()) {
        const QString reason = errorString();
        QIODevice::close();
        setErrorString(reason);
    }
}

bool CheckedFileWriter::writeFile(const QString& fileName, const QByteArray& contents, QString* error,
                                  bool waitForReader)
{
    CheckedFileWriter file(fileName);
    file.setWaitForReader(waitForReader);
    if (file.open(WriteOnly) && file.write(contents) == contents.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

qint64 CheckedFileWriter::readData(char*, qint64)
{
    return -1;
}

qint64 CheckedFileWriter::writeData(const char* data, qint64 size)
{
    if (m_Failed || !m_pFile)
        return -1;
    m_Pending.append(data, int(size));
    if (m_Pending.size() >= ChunkSize && !drain())
        return -1;
    return size;
}

bool CheckedFileWriter::drain()
{
    // A pipe whose reader has gone would end the whole program with SIGPIPE: held back meanwhile, it leaves
    // the write failing with its reason, and is then taken back unless it was waiting already.
    sigset_t pipeSignal, before, pending;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    const bool held = !m_Aside && sigpending(&pending) == 0 && !sigismember(&pending, SIGPIPE)
                      && pthread_sigmask(SIG_BLOCK, &pipeSignal, &before) == 0;
    qint64 done = 0;
    bool ok = true;
    while (ok && done < m_Pending.size()) {
        // A write the system takes only in part is repeated for the rest, which then fails with the reason.
        errno = 0;
        const qint64 written = m_pFile->write(m_Pending.constData() + done, m_Pending.size() - done);
        if (written <= 0)
            ok = fail(fileReason());
        else
            done += written;
    }
    if (held) {
        const timespec now = { 0, 0 };
        if (sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE))
            sigtimedwait(&pipeSignal, nullptr, &now);
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
    }
    if (ok)
        m_Pending.clear();
    return ok;
}

bool CheckedFileWriter::fail(const QString& reason)
{
    if (!m_Failed)
        setErrorString(reason);
    m_Failed = true;
    m_Pending.clear();
    return false;
}

QString CheckedFileWriter::fileReason() const
{
    const int error = errno;
    // Qt keeps the system's text where it has one; where it has none, errno still tells.
    if (m_pFile && m_pFile->error() != QFileDevice::NoError && !m_pFile->errorString().isEmpty()
        && m_pFile->errorString() != QCoreApplication::translate("QIODevice", "Unknown error"))
        return m_pFile->errorString();
    return error != 0 ? systemReason(error) : tr("The file could not be written");
}
