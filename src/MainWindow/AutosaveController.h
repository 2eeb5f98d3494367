#ifndef AUTOSAVECONTROLLER_H
#define AUTOSAVECONTROLLER_H

#include <QMetaObject>
#include <QObject>

#include <memory>

class AutosaveWriter;
class LedPanelDocument;
class QLockFile;
class QStatusBar;
class QTimer;

// Writes the window's document to its recovery file while it has changes that
// are in no file, every Document/AutosaveSeconds seconds; drops the file as soon
// as the document is clean again or goes.
class AutosaveController : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultSeconds = 60;
    static constexpr int MinSeconds = 5;
    static constexpr int MaxSeconds = 24 * 3600;
    // 0 switches autosave off; a few seconds are raised to the least interval, more than a day (which
    // a timer's milliseconds may not hold) lowered to a day.
    static int intervalSeconds();

    explicit AutosaveController(QObject* parent);
    ~AutosaveController() override;

    void setDocument(LedPanelDocument* document);
    // Keeps a failure on the status bar while writes fail, whatever passes over it meanwhile.
    void showFailuresOn(QStatusBar* statusBar);
    AutosaveWriter* writer() const;
    // Writes now if there is something to write; false if nothing was started.
    bool autosave();
    // Writes now, after a write that is running, and waits until it has ended.
    void autosaveAndWait();
    // The files of an earlier recovery of this document go once its own recovery file is on disk, or
    // the document is saved or goes; while writes fail they stay, under their lock.
    void replaceRecoveryFiles(const QString& baseName, std::unique_ptr<QLockFile> lock);

signals:
    // Once for a run of failed writes, not at every one; the recovery file from before stays.
    void failed(const QString& message);
    // What failed() said is over: a write went through again, or the document was saved or went.
    void failureOver(const QString& message);

private:
    void documentModified(bool modified);
    void written(bool ok, const QString& error);
    void dropWriter();
    void removeReplacedFiles();
    void endFailure();

    LedPanelDocument* m_pDocument = nullptr;
    AutosaveWriter* m_pWriter = nullptr;
    QTimer* m_pTimer;
    QMetaObject::Connection m_ModifiedConnection;
    QString m_ReplacedBaseName;
    std::unique_ptr<QLockFile> m_pReplacedLock;
    bool m_Failing = false;
    QString m_FailureMessage;
    bool m_HasWritten = false;
};

#endif // AUTOSAVECONTROLLER_H
