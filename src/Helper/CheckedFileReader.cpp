#include "Helper/CheckedFileReader.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool CheckedFileReader::open(QFile& file, QIODevice::OpenMode mode, QString* reason, eKinds kinds)
{
    mode |= QIODevice::ReadOnly;
    const QByteArray name = QFile::encodeName(file.fileName());
    struct stat status = {};
    // A name that cannot be looked at fails as Qt's own open says.
    if (::stat(name.constData(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
        if (file.open(mode))
            return true;
        *reason = file.errorString();
        return false;
    }
    const bool pipe = S_ISFIFO(status.st_mode);
    if (kinds == FileOnly || (kinds == FileOrPipe && !pipe)) {
        *reason = kinds == FileOnly ? tr("Not a regular file") : tr("Not a regular file or a pipe");
        return false;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int flags = fd < 0 ? -1 : ::fcntl(fd, F_GETFL);
    // A pipe's reads wait for its writer again, as with any pipe; a device's do not.
    if (flags == -1 || (pipe && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1)
        || !file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    return true;
}
