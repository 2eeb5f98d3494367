#ifndef RECOVERYOFFER_H
#define RECOVERYOFFER_H

#include <QCoreApplication>
#include <QString>

#include <memory>

class LedPanelDocument;
class QLockFile;
class QWidget;

// At start: the recovery files whose writer is gone, newest first, each offered
// with one question. A file another running editor writes is locked and never
// offered; the ones offered are locked by this one while it asks.
class RecoveryOffer
{
    Q_DECLARE_TR_FUNCTIONS(RecoveryOffer)

public:
    // The document the user chose to recover (modified, under its original path or
    // name), or null. After a Yes the other files wait for the next start.
    // *baseName names its recovery files, to be removed once the new ones are written; *lock keeps
    // them from other editors until then.
    static LedPanelDocument* ask(QWidget* parent, QString* baseName, std::unique_ptr<QLockFile>* lock);

private:
    // *name is what the question calls the show; *lostPath the file it came from when
    // Save must not write there; *problem why the show cannot be read (null returned).
    static LedPanelDocument* read(const QString& baseName, QString* name, QString* lostPath, QString* problem);
    // Keep or Delete, for a file that cannot be read: true to keep it.
    static bool keepUnreadable(QWidget* parent, const QString& name, const QString& baseName, const QString& problem);
};

#endif // RECOVERYOFFER_H
