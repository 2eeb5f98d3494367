#include "FileSizeLimit.h"

#include <QList>

FileSizeLimit::FileSizeLimit(qint64 limit)
{
    getrlimit(RLIMIT_FSIZE, &m_Before);
    m_Handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = m_Before;
    lowered.rlim_cur = rlim_t(limit);
    setrlimit(RLIMIT_FSIZE, &lowered);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_Before);
    std::signal(SIGXFSZ, m_Handler);
}

QList<qint64> FileSizeLimit::limitsFor(qint64 size)
{
    QList<qint64> limits;
    for (const qint64 limit : { qint64(100), qint64(4096), size - 1 }) {
        if (limit < size && !limits.contains(limit))
            limits.append(limit);
    }
    return limits;
}
