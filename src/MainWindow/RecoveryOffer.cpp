#include "MainWindow/RecoveryOffer.h"

#include "Document/AutosaveWriter.h"
#include "Document/LedPanelDocument.h"
#include "Document/RecoveryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QUndoStack>

#include <limits>
#include <memory>

namespace {

// The recorded file is written over only while it is still a plain file of this
// user under its own name: not gone, not a device, not reached through a link.
bool isSaveTarget(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isAbsolute() && info.canonicalFilePath() == path
           && RecoveryFolder::isPlainFile(path, std::numeric_limits<qint64>::max());
}

} // namespace

LedPanelDocument* RecoveryOffer::read(const QString& baseName, QString* name, QString* lostPath, QString* problem)
{
    QString path;
    QVariantMap fileState;
    const QString infoName = baseName + QStringLiteral(".ini");
    // Settings that are no plain file are not opened; the show is then recovered untitled.
    if (RecoveryFolder::isPlainFile(infoName, RecoveryFolder::MaxInfoBytes)) {
        QSettings info(infoName, QSettings::IniFormat);
        path = info.value(AutosaveWriter::infoKeyPath()).toString();
        info.beginGroup(AutosaveWriter::infoGroupFile());
        for (const QString& key : info.childKeys())
            fileState.insert(key, info.value(key));
        info.endGroup();
        // A name only: Save As proposes it in the folder the user picks.
        *name = QFileInfo(info.value(AutosaveWriter::infoKeyName()).toString()).fileName();
    }
    if (name->isEmpty())
        *name = QFileInfo(path).fileName();
    if (name->isEmpty())
        *name = QFileInfo(baseName).fileName();

    QFile file(baseName + QStringLiteral(".xml"));
    if (!RecoveryFolder::openShow(file, problem))
        return nullptr;
    std::unique_ptr<LedPanelDocument> document(LedPanelDocument::newDocument());
    if (!document->readXML(&file)) {
        *problem = document->readError();
        return nullptr;
    }
    if (isSaveTarget(path)) {
        document->setFilePath(path);
        // What another program saved there since the writer stopped is not written over unasked.
        document->setFileState(fileState);
        *name = QDir::toNativeSeparators(document->filePath());
    } else {
        *lostPath = path;
        document->setFileName(*name);
    }
    // Modified for good: no file holds it, so undoing later edits must not make it clean.
    document->undoStack()->resetClean();
    return document.release();
}

bool RecoveryOffer::keepUnreadable(QWidget* parent, const QString& name, const QString& baseName,
                                   const QString& problem)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                    tr("%1 was not saved when Tessaloom last stopped, but its recovery file %2 cannot be read:\n%3\n\n"
                       "Keep the file for a later start, or delete it?")
                        .arg(name, QDir::toNativeSeparators(baseName + QStringLiteral(".xml")), problem),
                    QMessageBox::NoButton, parent);
    QPushButton* keep = box.addButton(tr("Keep"), QMessageBox::RejectRole);
    box.addButton(tr("Delete"), QMessageBox::DestructiveRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    return box.clickedButton() == keep;
}

LedPanelDocument* RecoveryOffer::ask(QWidget* parent, QString* baseName, std::unique_ptr<QLockFile>* heldLock)
{
    for (const QString& base : RecoveryFolder::orphans()) {
        // Held while the question waits: an editor starting meanwhile leaves the file alone.
        auto lock = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
        if (!RecoveryFolder::takeLock(*lock, base + QStringLiteral(".lock")))
            continue;
        QString name, lostPath, problem;
        std::unique_ptr<LedPanelDocument> document(read(base, &name, &lostPath, &problem));
        if (!document) {
            if (!keepUnreadable(parent, name, base, problem))
                AutosaveWriter::removeFiles(base);
            continue;
        }
        QString text = tr("%1 was not saved when Tessaloom last stopped. Recover it?").arg(name);
        if (!lostPath.isEmpty())
            text += QStringLiteral("\n\n")
                    + tr("It was saved as %1, which is gone or no longer a plain file of yours; "
                         "Save will ask where to save it.")
                          .arg(QDir::toNativeSeparators(lostPath));
        // Esc, or closing the box, gives Cancel: the file stays for a later start. Without it they gave No,
        // which deletes the only copy of the show.
        const QMessageBox::StandardButton answer =
            QMessageBox::question(parent, QCoreApplication::applicationName(), text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        if (answer == QMessageBox::Cancel)
            continue;
        if (answer == QMessageBox::Yes) {
            // The window's own writer takes over before these files go.
            *baseName = base;
            *heldLock = std::move(lock);
            return document.release();
        }
        AutosaveWriter::removeFiles(base);
    }
    return nullptr;
}
