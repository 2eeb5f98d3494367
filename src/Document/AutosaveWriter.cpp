#include "Document/AutosaveWriter.h"

#include "Data/LedPanelModel.h"

#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QSaveFile>
#include <QSettings>
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

bool AutosaveWriter::write(LedPanelModel* copy, const QString& documentPath, const QString& documentName)
{
    std::shared_ptr<LedPanelModel> show(copy);
    if (!m_Lock.isLocked() || m_Pool.activeThreadCount() > 0)
        return false;
    const QString base = m_BaseName;
    m_Pool.start(QRunnable::create([this, show, base, documentPath, documentName] {
        {
            QSettings info(base + QStringLiteral(".ini"), QSettings::IniFormat);
            info.setValue(infoKeyPath(), documentPath);
            info.setValue(infoKeyName(), documentName);
            info.sync();
        }
        QSaveFile file(base + QStringLiteral(".xml"));
        bool ok = file.open(QFile::WriteOnly | QFile::Text) && show->writeXML(&file);
        ok = file.commit() && ok;
        QMetaObject::invokeMethod(this, [this, ok] { emit written(ok); }, Qt::QueuedConnection);
    }));
    return true;
}

void AutosaveWriter::waitForDone()
{
    m_Pool.waitForDone();
}

void AutosaveWriter::remove()
{
    m_Pool.waitForDone();
    QFile::remove(m_BaseName + QStringLiteral(".xml"));
    QFile::remove(m_BaseName + QStringLiteral(".ini"));
}
