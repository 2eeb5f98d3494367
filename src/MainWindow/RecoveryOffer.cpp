#include "MainWindow/RecoveryOffer.h"

#include "Document/AutosaveWriter.h"
#include "Document/LedPanelDocument.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QSettings>

#include <algorithm>
#include <memory>
#include <vector>

QStringList RecoveryOffer::orphans()
{
    QDir dir(AutosaveWriter::recoveryDirectory());
    QFileInfoList files = dir.entryInfoList({ QStringLiteral("*.xml") }, QDir::Files);
    std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() > b.lastModified();
    });
    QStringList names;
    for (const QFileInfo& file : qAsConst(files)) {
        const QString base = file.path() + QLatin1Char('/') + file.completeBaseName();
        QLockFile lock(base + QStringLiteral(".lock"));
        lock.setStaleLockTime(0);
        // Taken only when nobody holds it, or its holder is gone.
        if (lock.tryLock(0))
            names << base;
    }
    return names;
}

void RecoveryOffer::removeFiles(const QString& baseName)
{
    QFile::remove(baseName + QStringLiteral(".xml"));
    QFile::remove(baseName + QStringLiteral(".ini"));
}

LedPanelDocument* RecoveryOffer::read(const QString& baseName, QString* documentName)
{
    const QSettings info(baseName + QStringLiteral(".ini"), QSettings::IniFormat);
    const QString path = info.value(AutosaveWriter::infoKeyPath()).toString();
    *documentName = info.value(AutosaveWriter::infoKeyName()).toString();
    if (documentName->isEmpty())
        *documentName = QFileInfo(path).fileName();

    QFile file(baseName + QStringLiteral(".xml"));
    if (!file.open(QFile::ReadOnly | QFile::Text))
        return nullptr;
    std::unique_ptr<LedPanelDocument> document(LedPanelDocument::newDocument());
    if (!document->readXML(&file))
        return nullptr;
    // Save then writes over the original; a file that has gone leaves the name only.
    if (!path.isEmpty() && QFileInfo::exists(path))
        document->setFilePath(path);
    else if (!documentName->isEmpty())
        document->setFileName(*documentName);
    document->setModified(true);
    return document.release();
}

LedPanelDocument* RecoveryOffer::ask(QWidget* parent, QString* baseName)
{
    for (const QString& base : orphans()) {
        // Held while the question waits: an editor starting meanwhile leaves the file alone.
        QLockFile lock(base + QStringLiteral(".lock"));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        QString name;
        std::unique_ptr<LedPanelDocument> document(read(base, &name));
        if (name.isEmpty())
            name = QFileInfo(base).fileName();
        QString text = tr("%1 was not saved when Tessaloom last stopped. Recover it?").arg(name);
        if (!document)
            text += QStringLiteral("\n\n")
                    + tr("Its recovery file %1 cannot be read; it is kept.")
                          .arg(QDir::toNativeSeparators(base + QStringLiteral(".xml")));
        const QMessageBox::StandardButton answer = QMessageBox::question(
            parent, QCoreApplication::applicationName(), text, QMessageBox::Yes | QMessageBox::No);
        if (!document)
            continue;
        if (answer == QMessageBox::Yes) {
            // The window's own writer takes over before these files go.
            *baseName = base;
            return document.release();
        }
        removeFiles(base);
    }
    return nullptr;
}
