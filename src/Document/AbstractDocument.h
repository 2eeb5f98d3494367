#ifndef ABSTRACTDOCUMENT_H
#define ABSTRACTDOCUMENT_H

#include <QString>
#include <QWidget>

class QCloseEvent;

// Base of every document the main window can hold: file path and name, the
// modified flag, the file dialogs and the "save changes?" question. Reading and
// writing the file belong to the concrete document.
class AbstractDocument : public QWidget
{
    Q_OBJECT

public:
    explicit AbstractDocument(QWidget* parent = nullptr);

    QString filePath() const;
    QString fileName() const;
    QString fileDirectory() const;
    bool isModified() const;

    void setFilePath(const QString& filePath);
    void setFileName(const QString& fileName);

signals:
    void aboutToClose(AbstractDocument* document);
    void fileNameChanged(const QString& fileName);
    void modifiedChanged(bool modified);

public slots:
    void setModified(bool modified = true);

public:
    virtual QString OpenDialog();
    virtual bool loadDialog(const QString& fileName);
    virtual bool saveDialog(const QString& fileName);
    virtual bool maybeSave();
    virtual bool load(const QString& fileName) = 0;
    virtual bool save(const QString& fileName) = 0;

protected:
    virtual QString openSaveFileDialogFilter() const;
    // Added by the save dialog to a name typed without one; none by default.
    virtual QString defaultSuffix() const;
    void closeEvent(QCloseEvent* event) override;

private:
    QString m_FilePath;
    QString m_FileName;
};

#endif // ABSTRACTDOCUMENT_H
