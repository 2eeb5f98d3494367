#ifndef AUTOSAVEWRITER_H
#define AUTOSAVEWRITER_H

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QVariantMap>

#include <atomic>

class LedPanelModel;

// One recovery file of one document, in the user's data folder: the show in the
// ordinary document format (<id>.xml), what document it belongs to (<id>.ini),
// and a lock held while this writer lives, so that a lock left behind means its
// writer is gone. The show is written on a thread of its own.
class AutosaveWriter : public QObject
{
    Q_OBJECT

public:
    explicit AutosaveWriter(QObject* parent = nullptr);
    ~AutosaveWriter() override;

    static QString recoveryDirectory();
    static QString infoKeyPath() { return QStringLiteral("Document/Path"); }
    static QString infoKeyName() { return QStringLiteral("Document/Name"); }
    // The group of the document file's state as the document last saw it.
    static QString infoGroupFile() { return QStringLiteral("File"); }

    QString filePath() const;
    bool isLocked() const;
    // Takes the copy over; a write still running lets this one go (the next one comes soon). True when
    // written() will report on it.
    bool write(LedPanelModel* copy, const QString& documentPath, const QString& documentName,
               const QVariantMap& fileState = QVariantMap());
    // Waits for a running write, then deletes the files (the lock stays held).
    void remove();
    // Deletes the show and settings of a recovery, whoever wrote them.
    static void removeFiles(const QString& baseName);
    void waitForDone();
    // Whether the last write that ended put both files on disk.
    bool lastWriteSucceeded() const;

signals:
    // error: the system's reason when ok is false.
    void written(bool ok, const QString& error);

private:
    QString m_BaseName;
    QLockFile m_Lock;
    QThreadPool m_Pool;
    std::atomic<bool> m_LastWriteSucceeded { false };
};

#endif // AUTOSAVEWRITER_H
