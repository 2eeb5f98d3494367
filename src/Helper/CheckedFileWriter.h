#ifndef CHECKEDFILEWRITER_H
#define CHECKEDFILEWRITER_H

#include <QByteArray>
#include <QCoreApplication>
#include <QIODevice>
#include <QString>

#include <memory>

class QFileDevice;

// Writes one file whole or not at all. A regular file is written aside and
// takes the old one's place only once every byte is known to be on disk; a
// character device or a pipe is written as it is, since replacing it would
// destroy it. Any failed write, flush or sync is a failure, whose reason is the
// system's own ("No space left on device"), and leaves the old file as it was.
class CheckedFileWriter : public QIODevice
{
    Q_OBJECT

public:
    explicit CheckedFileWriter(const QString& fileName, QObject* parent = nullptr);
    ~CheckedFileWriter() override;

    // WriteOnly, with Text if wanted; false with errorString() when the target cannot take a file.
    bool open(OpenMode mode) override;
    // Ends writing; true only if the whole file reached its place. The device is closed after it.
    bool commit();
    // Drops what was written, as close() does.
    void close() override;
    // Written front to back: nothing goes back to mend bytes already passed on.
    bool isSequential() const override { return true; }

    QString fileName() const { return m_FileName; }
    // A window cannot wait at a pipe nobody reads: with false, such a pipe is refused at open.
    void setWaitForReader(bool wait) { m_WaitForReader = wait; }
    // Whether a write to the file failed; errorString() then says why.
    bool hasFailed() const { return m_Failed; }

    // The whole file in one go; false with the reason in *error.
    static bool writeFile(const QString& fileName, const QByteArray& contents, QString* error,
                          bool waitForReader = true);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool openPipeWithReader();
    bool drain();
    bool fail(const QString& reason);
    QString fileReason() const;

    QString m_FileName;
    std::unique_ptr<QFileDevice> m_pFile; // a QSaveFile, or a QFile for a device or a pipe
    bool m_Aside = false;                 // written aside and renamed at the end
    bool m_Failed = false;
    bool m_WaitForReader = true;
    QByteArray m_Pending;                 // bytes not yet handed to the system
};

#endif // CHECKEDFILEWRITER_H
