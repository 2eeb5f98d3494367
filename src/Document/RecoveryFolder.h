#ifndef RECOVERYFOLDER_H
#define RECOVERYFOLDER_H

#include "Data/BoundedXmlDevice.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QFile;
class QLockFile;

// The recovery folder as found at start, after a crash or a power cut: its files
// are looked at before anything opens them. Only regular files of this user are
// read (a FIFO would block the reader for ever, a link may point anywhere), and
// only up to a size no writer of this program reaches.
class RecoveryFolder
{
    Q_DECLARE_TR_FUNCTIONS(RecoveryFolder)

public:
    static constexpr qint64 MaxShowBytes = BoundedXmlDevice::MaxBytes;
    static constexpr qint64 MaxInfoBytes = 64 << 10;
    static constexpr qint64 MaxLockBytes = 4 << 10;

    // Base names (without .xml) of the shows whose writer is gone, newest first.
    static QStringList orphans();
    // Takes the lock of a recovery file when nobody holds it: a lock left by a
    // writer that is gone, however garbled, does not hide the file.
    static bool takeLock(QLockFile& lock, const QString& fileName);
    // A regular file of this user, not a link, at most maxBytes long; an absent one only if absentIsPlain.
    static bool isPlainFile(const QString& fileName, qint64 maxBytes, bool absentIsPlain = false);
    // Opens a show for reading the same way, without following a link or waiting on a FIFO;
    // *reason says why not.
    static bool openShow(QFile& file, QString* reason);
};

#endif // RECOVERYFOLDER_H
