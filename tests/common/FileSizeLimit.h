#ifndef FILESIZELIMIT_H
#define FILESIZELIMIT_H

#include <QtGlobal>

#include <csignal>
#include <sys/resource.h>

// While it lives, no file of this process, nor of a child it starts, grows past limit bytes: the write
// that would is refused with EFBIG ("File too large"), as a full disk refuses it, and without root.
// SIGXFSZ is ignored meanwhile, so the refusal comes as an error and not as the end of the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 limit);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // Where a file of size bytes is cut in each test: inside the first block, at a block's end and
    // inside the last block. Limits at or past size are left out.
    static QList<qint64> limitsFor(qint64 size);

private:
    rlimit m_Before;
    void (*m_Handler)(int);
};

#endif // FILESIZELIMIT_H
