#ifndef CHECKEDFILEREADER_H
#define CHECKEDFILEREADER_H

#include <QCoreApplication>
#include <QIODevice>
#include <QString>

class QFile;

// Opens a file for reading without letting the window wait on it: a pipe is
// opened without waiting for a writer (one that nobody writes to ends at once),
// and a device, which may never end, is refused or read only as far as it has
// data now.
class CheckedFileReader
{
    Q_DECLARE_TR_FUNCTIONS(CheckedFileReader)

public:
    enum eKinds {
        FileOnly,  // read more than once, which a pipe cannot give
        FileOrPipe,
        Anything   // a device too, as far as it has data now
    };

    // Opens file (named already) read-only with the extra mode flags; false with the reason in *reason.
    static bool open(QFile& file, QIODevice::OpenMode mode, QString* reason, eKinds kinds = FileOrPipe);
};

#endif // CHECKEDFILEREADER_H
