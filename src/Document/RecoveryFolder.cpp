#include "Document/RecoveryFolder.h"

#include "Document/AutosaveWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <limits>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isOwnRegularFile(const struct stat& status)
{
    return S_ISREG(status.st_mode) && status.st_uid == ::geteuid();
}

// Whoever holds a lock file also holds an flock on it, so a lock nobody holds
// is stale whatever it says (an empty or cut-off one says nothing).
bool removeUnheldLock(const QString& fileName)
{
    const QByteArray name = QFile::encodeName(fileName);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    struct stat held = {}, named = {};
    // Removed only while it is still the file that was found free.
    const bool removed = ::fstat(fd, &held) == 0 && isOwnRegularFile(held) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
                         && ::lstat(name.constData(), &named) == 0 && named.st_dev == held.st_dev
                         && named.st_ino == held.st_ino && ::unlink(name.constData()) == 0;
    ::close(fd);
    return removed;
}

} // namespace

QStringList RecoveryFolder::orphans()
{
    // Listing reads names and status only; nothing found is opened here.
    QFileInfoList files = QDir(AutosaveWriter::recoveryDirectory())
                              .entryInfoList({ QStringLiteral("*.xml") }, QDir::Files);
    files.erase(std::remove_if(files.begin(), files.end(),
                               [](const QFileInfo& file) {
                                   return file.completeBaseName().isEmpty()
                                          || !isPlainFile(file.filePath(), std::numeric_limits<qint64>::max());
                               }),
                files.end());
    std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() > b.lastModified();
    });
    QStringList names;
    for (const QFileInfo& file : qAsConst(files)) {
        const QString base = file.path() + QLatin1Char('/') + file.completeBaseName();
        QLockFile lock(base + QStringLiteral(".lock"));
        if (takeLock(lock, base + QStringLiteral(".lock")))
            names << base;
    }
    return names;
}

bool RecoveryFolder::takeLock(QLockFile& lock, const QString& fileName)
{
    // A lock that is not a plain file cannot be judged without opening it: its show waits.
    if (!isPlainFile(fileName, std::numeric_limits<qint64>::max(), true))
        return false;
    // Only a dead writer makes a lock stale, however old it is.
    lock.setStaleLockTime(0);
    // Qt reads the lock; one longer than any writer leaves is judged by its flock alone.
    if (isPlainFile(fileName, MaxLockBytes, true) && lock.tryLock(0))
        return true;
    return removeUnheldLock(fileName) && lock.tryLock(0);
}

bool RecoveryFolder::isPlainFile(const QString& fileName, qint64 maxBytes, bool absentIsPlain)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(fileName).constData(), &status) != 0)
        return absentIsPlain && errno == ENOENT;
    return isOwnRegularFile(status) && status.st_size <= maxBytes;
}

bool RecoveryFolder::openShow(QFile& file, QString* reason)
{
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *reason = qt_error_string(errno);
        return false;
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !isOwnRegularFile(status))
        *reason = tr("it is not a file of yours");
    else if (status.st_size > MaxShowBytes)
        *reason = tr("at %1 MB it is larger than any show").arg(status.st_size >> 20);
    else if (file.open(fd, QFile::ReadOnly | QFile::Text, QFileDevice::AutoCloseHandle))
        return true;
    else
        *reason = file.errorString();
    ::close(fd);
    return false;
}
