#include "Document/AutosaveWriter.h"

#include "Data/LedPanelModel.h"
#include "Helper/CheckedFileWriter.h"
#include "Helper/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QStandardPaths>
#include <QUuid>

#include <memory>

namespace {

QString newBaseName()
{
    const QString dir = AutosaveWriter::recoveryDirectory();
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace

AutosaveWriter::AutosaveWriter(QObject* parent)
    : QObject(parent)
    , m_BaseName(newBaseName())
    , m_Lock(m_BaseName + QStringLiteral(".lock"))
{
    // Only a dead writer makes a lock stale, however old it is.
    m_Lock.setStaleLockTime(0);
    m_Lock.tryLock(0);
    m_Pool.setMaxThreadCount(1);
}

AutosaveWriter::~AutosaveWriter()
{
    m_Pool.waitForDone();
}

QString AutosaveWriter::recoveryDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

QString AutosaveWriter::filePath() const
{
    return m_BaseName + QStringLiteral(".xml");
}

bool AutosaveWriter::isLocked() const
{
    return m_Lock.isLocked();
}

bool AutosaveWriter::write(LedPanelModel* copy, const QString& documentPath, const QString& documentName,
                           const QVariantMap& fileState)
{
    std::shared_ptr<LedPanelModel> show(copy);
    if (m_Pool.activeThreadCount() > 0)
        return false;
    // A clean-up may have removed the folder, and the lock with it: both come back, so that the show is kept
    // and no editor takes its files for those of one that is gone.
    QDir().mkpath(QFileInfo(m_BaseName).path());
    if (m_Lock.isLocked() && !QFileInfo::exists(m_BaseName + QStringLiteral(".lock")))
        m_Lock.unlock();
    // A lock that could not be made (a full disk, say) is tried again, and its failure reported like a write's.
    if (!m_Lock.isLocked() && !m_Lock.tryLock(0)) {
        const QString error = tr("Cannot lock %1").arg(QDir::toNativeSeparators(m_BaseName + QStringLiteral(".lock")));
        QMetaObject::invokeMethod(this, [this, error] { emit written(false, error); }, Qt::QueuedConnection);
        return true;
    }
    const QString base = m_BaseName;
    QVariantMap info { { infoKeyPath(), documentPath }, { infoKeyName(), documentName } };
    for (auto it = fileState.cbegin(); it != fileState.cend(); ++it)
        info.insert(infoGroupFile() + QLatin1Char('/') + it.key(), it.value());
    m_Pool.start(QRunnable::create([this, show, base, info] {
        // A failure leaves the recovery file from before as it was.
        QString error;
        bool ok = IniFile::write(base + QStringLiteral(".ini"), info, &error);
        if (ok) {
            CheckedFileWriter file(base + QStringLiteral(".xml"));
            ok = file.open(QIODevice::WriteOnly | QIODevice::Text) && show->writeXML(&file) && file.commit();
            error = file.errorString();
        }
        m_LastWriteSucceeded = ok;
        QMetaObject::invokeMethod(this, [this, ok, error] { emit written(ok, ok ? QString() : error); },
                                  Qt::QueuedConnection);
    }));
    return true;
}

void AutosaveWriter::waitForDone()
{
    m_Pool.waitForDone();
}

bool AutosaveWriter::lastWriteSucceeded() const
{
    return m_LastWriteSucceeded;
}

void AutosaveWriter::remove()
{
    m_Pool.waitForDone();
    removeFiles(m_BaseName);
}

void AutosaveWriter::removeFiles(const QString& baseName)
{
    QFile::remove(baseName + QStringLiteral(".xml"));
    QFile::remove(baseName + QStringLiteral(".ini"));
}
